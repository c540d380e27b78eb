-- Higher-order calls through function values: map, fold and repeated application with
-- functions passed as arguments and returned from a function. 1,500 rounds over 200 numbers.
local function inc(x) return x + 1 end
local function twice(x) return x * 2 end
local function square_mod(x) return (x * x) % 1009 end
local function add(a, b) return a + b end
local function mul_mod(a, b) return (a * b) % 1000003 end

local function pick(k)
  if k == 0 then
    return inc
  elseif k == 1 then
    return twice
  else
    return square_mod
  end
end

local function map_array(f, xs)
  local out = {}
  for _, x in ipairs(xs) do
    out[#out + 1] = f(x)
  end
  return out
end

local function fold(f, acc, xs)
  for _, x in ipairs(xs) do
    acc = f(acc, x)
  end
  return acc
end

local function apply_n(f, n, x)
  local i = 0
  while i < n do
    x = f(x)
    i = i + 1
  end
  return x
end

local numbers = {}
for k = 0, 199 do numbers[#numbers + 1] = k end
local sum = 0
local product = 1
local turn = 0
while turn < 1500 do
  local mapped = map_array(pick(turn % 3), numbers)
  sum = sum + fold(add, 0, mapped)
  product = (product + fold(mul_mod, 1, map_array(inc, mapped))) % 1000003
  sum = sum + apply_n(pick((turn + 1) % 3), 20, turn)
  turn = turn + 1
end
print(sum)
print(product)
