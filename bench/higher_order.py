# Higher-order calls through function values: map, fold and repeated application with
# functions passed as arguments and returned from a function. 1,500 rounds over 200 numbers.
def inc(x):
    return x + 1


def twice(x):
    return x * 2


def square_mod(x):
    return (x * x) % 1009


def add(a, b):
    return a + b


def mul_mod(a, b):
    return (a * b) % 1000003


def pick(k):
    match k:
        case 0:
            return inc
        case 1:
            return twice
        case _:
            return square_mod


def map_array(f, xs):
    out = []
    for x in xs:
        out.append(f(x))
    return out


def fold(f, acc, xs):
    for x in xs:
        acc = f(acc, x)
    return acc


def apply_n(f, n, x):
    i = 0
    while i < n:
        x = f(x)
        i += 1
    return x


numbers = list(range(0, 200))
sum_ = 0
product = 1
turn = 0
while turn < 1500:
    mapped = map_array(pick(turn % 3), numbers)
    sum_ += fold(add, 0, mapped)
    product = (product + fold(mul_mod, 1, map_array(inc, mapped))) % 1000003
    sum_ += apply_n(pick((turn + 1) % 3), 20, turn)
    turn += 1
print(sum_)
print(product)
