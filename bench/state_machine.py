# A vending machine driven by 300,000 pseudo-random events: a `match` on the state (a string)
# with a `match` on the event (a number) inside. Prints how many steps ended in each state,
# then the machine's totals.
seed = 12345
state = "idle"
credit = 0
sold = 0
refunded = 0
ignored = 0
serviced = 0
at_idle = 0
at_coin = 0
at_vend = 0
at_refund = 0
at_service = 0
step = 0
while step < 300000:
    seed = (seed * 1103515245 + 12345) % 2147483648
    event = (seed // 65536) % 4
    match state:
        case "idle":
            match event:
                case 0:
                    credit += 1
                    state = "coin"
                case 2:
                    state = "service"
                case _:
                    ignored += 1
        case "coin":
            match event:
                case 0:
                    credit += 1
                    if credit >= 3:
                        state = "vend"
                case 1:
                    if credit >= 2:
                        state = "vend"
                    else:
                        ignored += 1
                case 2:
                    state = "refund"
                case _:
                    ignored += 1
        case "vend":
            sold += 1
            credit -= 2
            if credit > 0:
                state = "coin"
            else:
                state = "idle"
        case "refund":
            refunded += credit
            credit = 0
            state = "idle"
        case "service":
            match event:
                case 3:
                    state = "idle"
                case _:
                    serviced += 1
    match state:
        case "idle":
            at_idle += 1
        case "coin":
            at_coin += 1
        case "vend":
            at_vend += 1
        case "refund":
            at_refund += 1
        case _:
            at_service += 1
    step += 1
print(at_idle)
print(at_coin)
print(at_vend)
print(at_refund)
print(at_service)
print(sold)
print(refunded)
print(ignored)
print(serviced)
print(credit)
print(state)
