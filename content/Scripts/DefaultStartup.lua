-- The start-up script used when neither startup.lua beside the program nor a user or
-- application start-up script exists. No game state is registered yet, so it queues none:
-- the start state finishes into the exit state.

Startup = {}

function Startup:ConfigureApp()
  system.AppConfig:SetFPSLimitI(0)
end
