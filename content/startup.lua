-- The developer's start-up script, read beside the program before the start-up script
-- resources. It configures the application and queues the states to run after the start
-- state; with none queued the program ends after the start delay. To open the debug menu,
-- which lists every state and runs one, queue it in SetSequence:
--   system.AppStart:AddAppState(system.DebugMenu, "", -1)

Startup = {}

function Startup:SetSequence()
end

function Startup:ConfigureApp()
  system.AppConfig:SetFPSLimitI(0)
  system.AppStart:SetStartDelay(2.0)
end
