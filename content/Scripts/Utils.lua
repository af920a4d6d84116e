-- Class helpers the framework relies on: new(class) makes an instance whose missing fields come
-- from the class; mergef(target, source, overwrite) copies the fields of source into target.

function new(class)
  local instance = {}
  setmetatable(instance, { __index = class })
  return instance
end

function mergef(target, source, overwrite)
  if type(target) ~= "table" or type(source) ~= "table" then
    return target
  end
  for key, value in pairs(source) do
    if overwrite or target[key] == nil then
      target[key] = value
    end
  end
  return target
end
