-- Small maths helpers for scripts that place things on the 4096-unit virtual screen.

function clamp(value, low, high)
  if value < low then return low end
  if value > high then return high end
  return value
end

function lerp(from, to, t)
  return from + (to - from) * t
end
