-- Counting primes up to 200,000 by trial division.
local function is_prime(n)
  if n < 2 then return false end
  if n % 2 == 0 then return n == 2 end
  local d = 3
  while d * d <= n do
    if n % d == 0 then return false end
    d = d + 2
  end
  return true
end
local count = 0
local n = 0
while n <= 200000 do
  if is_prime(n) then count = count + 1 end
  n = n + 1
end
print(count)
