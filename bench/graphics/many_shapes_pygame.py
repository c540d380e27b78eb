"""The same frame as many_shapes.vl, drawn with pygame: 2,000 filled circles of radius 10,
2,000 filled rectangles and 10,000 points on a 640x480 window, uncapped. Prints the frames
per second."""

import os
import time

os.environ.setdefault("PYGAME_HIDE_SUPPORT_PROMPT", "1")
import pygame  # noqa: E402


def positions(count, seed, limit):
    values, state = [], seed
    for _ in range(count):
        state = (state * 1103515245 + 12345) % 2147483648
        values.append(state % limit)
    return values


def main():
    frames = 30
    cx, cy = positions(2000, 1, 640), positions(2000, 2, 480)
    rx, ry = positions(2000, 3, 630), positions(2000, 4, 470)
    px, py = positions(10000, 5, 640), positions(10000, 6, 480)
    pygame.display.init()
    screen = pygame.display.set_mode((640, 480))
    pygame.display.set_caption("many shapes")
    red, blue, white = (240, 90, 90), (90, 200, 240), (255, 255, 255)
    total = 0.0
    last = time.perf_counter()
    for frame in range(frames):
        screen.fill((0, 0, 0))
        for i in range(2000):
            pygame.draw.circle(screen, red, (cx[i], cy[i]), 10)
        for i in range(2000):
            screen.fill(blue, (rx[i], ry[i], 10, 10))
        for i in range(10000):
            screen.set_at((px[i], py[i]), white)
        pygame.display.flip()
        pygame.event.pump()
        now = time.perf_counter()
        if frame > 0:
            total += now - last
        last = now
    print(round((frames - 1) / total))
    pygame.quit()


main()
