"""The program's icon as a design: two pages side by side, the differing lines marked in yellow,
on a 32-unit grid in the 16 colours of the standard VGA palette. scripts/make-icon.py draws the
window's icon from it, scripts/make-desktop-icons.py the desktop's."""

# The 16 colours of the standard VGA palette, as (B, G, R), in the order of a 16-colour bitmap.
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
    (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, DARK_BLUE, GREY, RED, BLUE, YELLOW, WHITE = 0, 4, 8, 9, 12, 11, 15
CLEAR = None
GRID = 32


def shapes():
    """The design as filled rectangles (x0, y0, x1, y1, colour) on the 32-unit grid, painted in
    order, each over the ones before it."""
    out = []

    def page(x0, y0, marked, mark_colour):
        out.append((x0, y0, x0 + 14, y0 + 26, BLACK))
        out.append((x0 + 1, y0 + 1, x0 + 13, y0 + 25, WHITE))
        for i, line_y in enumerate(range(y0 + 4, y0 + 23, 3)):
            colour = mark_colour if i in marked else GREY
            if i in marked:
                out.append((x0 + 1, line_y - 1, x0 + 13, line_y + 2, YELLOW))
            out.append((x0 + 3, line_y, x0 + 11, line_y + 1, colour))

    page(1, 2, {2}, BLUE)
    page(17, 4, {2, 4}, RED)
    return out


def draw(size):
    """Returns rows of palette indices (None: transparent), top row first."""
    s = size / GRID
    px = [[CLEAR] * size for _ in range(size)]
    for x0, y0, x1, y1, colour in shapes():
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour
    return px
