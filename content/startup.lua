-- The developer's start-up script, read beside the program before the start-up script
-- resources. It configures the application, shows the studio's logo and then the title's in
-- the player's language, and queues the states to run after the start state: the main menu
-- (a program without it opens the debug menu, which lists every state and runs one; set
-- Startup.firstState to system.DebugMenu to get there).

Startup = {}

Startup.firstState = system.Menu or system.DebugMenu

function Startup:SetSequence()
  system.AppStart:AddAppState(Startup.firstState, "", -1)
end

function Startup:ConfigureApp()
  system.AppConfig:SetFPSLimitI(0)
  system.AppStart:SetStartDelay(0.5)
end

function Startup:ShowReminder()
  system.Reminder:Show(true)
end

function Startup:ShowLogo()
  local logo = system.Logo
  logo:SetShowTime(3.0)
  logo:SetFadeTime(0.5)
  logo:SetMinTime(1.0)
  logo:SetAllowCancel(true)
  logo:SetBackgroundColor({r = 0, g = 0, b = 0, a = 128})
  logo:ShowStatic("Logos\\Studio", false)
  logo:ShowStatic("Logos\\Hollowmere", true)
end
