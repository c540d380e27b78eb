-- Reading a global in a loop at call depth 1: the cost of a read must not
-- depend on how many calls are active below it.
g = 3
local function reader(n)
  local s = 0
  local i = 0
  while i < n do
    s = s + g
    i = i + 1
  end
  return s
end
local function dive(depth, n)
  if depth <= 1 then return reader(n) end
  return dive(depth - 1, n) + 0 -- "+ 0" keeps every frame active (no tail call)
end
print(dive(1, 3000000))
