-- Runs a macro file against a stand-in for the two names it may use, Macro
-- and Plugin.Menu, and checks that it defines one macro, for the file panels
-- (area Shell), on exactly the keys given, whose action invokes the plug-in
-- of the GUID given and does nothing else. Any other name it reads or sets is
-- a fault: the file manager's macro engine would not have it.
--   luajit macro_file_check.lua FILE KEYS GUID
local file, keys, guid = arg[1], arg[2], arg[3]
if not (file and keys and guid) then
  io.stderr:write("usage: luajit macro_file_check.lua FILE KEYS GUID\n")
  os.exit(2)
end

local faults = {}
local function fault(text) faults[#faults + 1] = file .. ": " .. text end

local macros, invoked = {}, {}
local env = {
  Macro = function(definition) macros[#macros + 1] = definition end,
  Plugin = { Menu = function(...) invoked[#invoked + 1] = { n = select("#", ...), ... } end },
}
setmetatable(env, {
  __index = function(_, name) error("reads " .. tostring(name) .. ", which the stand-in does not have", 2) end,
  __newindex = function(_, name) error("sets the global " .. tostring(name), 2) end,
})

local chunk, loadError = loadfile(file)
if not chunk then
  io.stderr:write(file .. ": does not load: " .. loadError .. "\n")
  os.exit(1)
end
setfenv(chunk, env)
local ran, runError = pcall(chunk)
if not ran then fault("fails when run: " .. tostring(runError)) end

if #macros ~= 1 then fault("defines " .. #macros .. " macros, not one") end
local macro = macros[1] or {}
if macro.area ~= "Shell" then fault("area is " .. tostring(macro.area) .. ", not Shell (the file panels)") end
if macro.key ~= keys then
  fault("key is " .. tostring(macro.key) .. ", not \"" .. keys .. "\" as the walk test binds")
end
if type(macro.description) ~= "string" or macro.description == "" then fault("has no description") end
if type(macro.action) ~= "function" then
  fault("has no action")
else
  local acted, actionError = pcall(macro.action)
  if not acted then fault("its action fails: " .. tostring(actionError)) end
  if #invoked ~= 1 then
    fault("its action calls Plugin.Menu " .. #invoked .. " times, not once")
  elseif invoked[1].n ~= 1 or invoked[1][1] ~= guid then
    fault("its action calls Plugin.Menu with " .. tostring(invoked[1][1]) .. " (" .. invoked[1].n ..
          " arguments), not the DLL's GUID " .. guid)
  end
end

if #faults > 0 then
  for _, text in ipairs(faults) do io.stderr:write(text .. "\n") end
  os.exit(1)
end
print(file .. ": one macro, area Shell, keys \"" .. keys .. "\", invokes " .. guid)
