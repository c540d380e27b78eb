-- A Mandelbrot set on a 78 x 39 grid, up to 1000 iterations per point: float arithmetic in a
-- loop. Only integers are printed (one ASCII row per grid row and the iteration total), so the
-- output does not depend on how a language formats floats.
local shades = {" ", ".", ":", "-", "=", "+", "*", "#", "%", "@"}
local width = 78
local height = 39
local limit = 1000
local total = 0
local y = 0
while y < height do
  local ci = -1.2 + y * 2.4 / height
  local row = ""
  local x = 0
  while x < width do
    local cr = -2.1 + x * 3.0 / width
    local zr = 0.0
    local zi = 0.0
    local n = 0
    while n < limit and zr * zr + zi * zi <= 4.0 do
      local t = zr * zr - zi * zi + cr
      zi = 2.0 * zr * zi + ci
      zr = t
      n = n + 1
    end
    total = total + n
    row = row .. shades[n % 10 + 1]
    x = x + 1
  end
  print(row)
  y = y + 1
end
print(total)
