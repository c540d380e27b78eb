-- Reading a dictionary member through a function, many times.
local function get_x(d)
  return d.x
end
local point = {x = 3, y = 4}
local i = 0
local total = 0
while i < 600000 do
  total = total + get_x(point)
  i = i + 1
end
print(total)
