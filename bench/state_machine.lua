-- A vending machine driven by 300,000 pseudo-random events: a `match` on the state (a string)
-- with a `match` on the event (a number) inside. Prints how many steps ended in each state,
-- then the machine's totals. Lua has no match: each one is an if-elseif chain.
local seed = 12345
local state = "idle"
local credit = 0
local sold = 0
local refunded = 0
local ignored = 0
local serviced = 0
local at_idle = 0
local at_coin = 0
local at_vend = 0
local at_refund = 0
local at_service = 0
local step = 0
while step < 300000 do
  seed = (seed * 1103515245 + 12345) % 2147483648
  local event = (seed // 65536) % 4
  if state == "idle" then
    if event == 0 then
      credit = credit + 1
      state = "coin"
    elseif event == 2 then
      state = "service"
    else
      ignored = ignored + 1
    end
  elseif state == "coin" then
    if event == 0 then
      credit = credit + 1
      if credit >= 3 then state = "vend" end
    elseif event == 1 then
      if credit >= 2 then state = "vend" else ignored = ignored + 1 end
    elseif event == 2 then
      state = "refund"
    else
      ignored = ignored + 1
    end
  elseif state == "vend" then
    sold = sold + 1
    credit = credit - 2
    if credit > 0 then state = "coin" else state = "idle" end
  elseif state == "refund" then
    refunded = refunded + credit
    credit = 0
    state = "idle"
  elseif state == "service" then
    if event == 3 then
      state = "idle"
    else
      serviced = serviced + 1
    end
  end
  if state == "idle" then
    at_idle = at_idle + 1
  elseif state == "coin" then
    at_coin = at_coin + 1
  elseif state == "vend" then
    at_vend = at_vend + 1
  elseif state == "refund" then
    at_refund = at_refund + 1
  else
    at_service = at_service + 1
  end
  step = step + 1
end
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
