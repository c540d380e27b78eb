-- Many calls of a small two-argument function.
local function add(a, b)
  return a + b
end
local i = 0
local total = 0
while i < 2000000 do
  total = add(total, i)
  i = i + 1
end
print(total)
