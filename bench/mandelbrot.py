# A Mandelbrot set on a 78 x 39 grid, up to 1000 iterations per point: float arithmetic in a
# loop. Only integers are printed (one ASCII row per grid row and the iteration total), so the
# output does not depend on how a language formats floats.
shades = [" ", ".", ":", "-", "=", "+", "*", "#", "%", "@"]
width = 78
height = 39
limit = 1000
total = 0
y = 0
while y < height:
    ci = -1.2 + y * 2.4 / height
    row = ""
    x = 0
    while x < width:
        cr = -2.1 + x * 3.0 / width
        zr = 0.0
        zi = 0.0
        n = 0
        while n < limit and zr * zr + zi * zi <= 4.0:
            t = zr * zr - zi * zi + cr
            zi = 2.0 * zr * zi + ci
            zr = t
            n += 1
        total += n
        row += shades[n % 10]
        x += 1
    print(row)
    y += 1
print(total)
