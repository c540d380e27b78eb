-- Reading, assigning and passing a 10-element array 1,000,000 times (Lua
-- shares the table; the Vormel program copies by value).
local big = {}
for k = 1, 10 do big[k] = k end
local function first(a)
  return a[1]
end
local i = 0
local total = 0
local ys
while i < 1000000 do
  ys = big
  total = total + first(ys)
  i = i + 1
end
print(#ys)
print(total)
