-- Growing an array to 30,000 elements, then reading it back by index.
local xs = {}
local i = 0
while i < 30000 do
  xs[#xs + 1] = i
  i = i + 1
end
local total = 0
i = 0
while i < #xs do
  total = total + xs[i + 1]
  i = i + 1
end
print(#xs)
print(total)
