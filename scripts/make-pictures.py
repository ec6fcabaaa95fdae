#!/usr/bin/python3
"""Writes the window program's raster pictures into app/data/.

The pictures are checked in; run this after changing one of them:
    scripts/make-pictures.py

and, for the Windows build, app/windows/zorvek.ico (16 to 256 pixels).

Needs the Debian packages python3-pil and librsvg2-bin (rsvg-convert). The
two vector pictures, app/data/zorvek.svg and app/data/about.svg, are drawn by
hand; this script makes:
    zorvek.png              the application icon, 256 x 256, from zorvek.svg
    about.png               the about window's picture, three times its 172 x 180
                            size so that it stays sharp when the window grows
    main-background.jpg     the main window, 490 x 393, under the passport sheet
    options-background.jpg  the options window, 360 x 328, under the check boxes
    toxls.gif               the progress window's loop, 236 x 57 on white
"""

import io
import subprocess
from pathlib import Path

from PIL import Image, ImageDraw

DATA = Path(__file__).resolve().parent.parent / "app" / "data"
WINDOWS = DATA.parent / "windows"


def render_svg(svg_text, width, height):
    png = subprocess.run(
        ["rsvg-convert", "-w", str(width), "-h", str(height)],
        input=svg_text.encode("utf-8"),
        capture_output=True,
        check=True,
    ).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


def vertical_gradient(width, height, stops):
    """stops: (position 0..1, (r, g, b)) in ascending order."""
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / (height - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                k = (t - p0) / (p1 - p0) if p1 > p0 else 0.0
                colour = tuple(round(a + (b - a) * k) for a, b in zip(c0, c1))
                break
        draw.line([(0, y), (width, y)], fill=colour)
    return image


def crane_silhouette(colour, opacity):
    """A tower crane and a hanging load on a 490 x 393 canvas, one flat colour."""
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="490" height="393" viewBox="0 0 490 393">
  <g fill="{colour}" stroke="{colour}" opacity="{opacity}" stroke-linejoin="round">
    <rect x="446" y="96" width="30" height="22"/>
    <path d="M 386 84 L 395 40 L 404 84 Z"/>
    <g fill="none" stroke-width="2">
      <line x1="395" y1="42" x2="160" y2="84"/>
      <line x1="395" y1="42" x2="478" y2="84"/>
      <line x1="214" y1="96" x2="214" y2="214"/>
      <polyline points="386,96 404,114 386,132 404,150 386,168 404,186 386,204 404,222 386,240
                        404,258 386,276 404,294 386,312 404,330 386,348 404,366 386,384"/>
      <polyline points="150,96 162,84 174,96 186,84 198,96 210,84 222,96 234,84 246,96 258,84
                        270,96 282,84 294,96 306,84 318,96 330,84 342,96 354,84 366,96 378,84 386,96"/>
    </g>
    <g fill="none" stroke-width="4">
      <line x1="386" y1="84" x2="386" y2="384"/>
      <line x1="404" y1="84" x2="404" y2="384"/>
      <line x1="150" y1="84" x2="480" y2="84"/>
      <line x1="150" y1="96" x2="480" y2="96"/>
    </g>
    <path d="M 214 214 v 8 a 6 6 0 1 1 -8 5" fill="none" stroke-width="3"/>
    <rect x="186" y="236" width="56" height="36" rx="3"/>
    <rect x="0" y="383" width="490" height="10"/>
  </g>
</svg>"""


def main_background():
    image = vertical_gradient(
        490, 393, [(0.0, (0xDB, 0xE9, 0xF5)), (0.55, (0xF3, 0xF7, 0xFB)), (1.0, (0xE6, 0xEC, 0xF1))]
    )
    crane = render_svg(crane_silhouette("#7f9cb8", 0.22), 490, 393)
    image.paste(crane, (0, 0), crane)
    image.save(DATA / "main-background.jpg", quality=88, optimize=True)


def options_background():
    # The window's own colour is #BAE9F6; the picture stays much lighter so the
    # check boxes' captions read well, and keeps its hue.
    image = vertical_gradient(
        360, 328, [(0.0, (0xF2, 0xFB, 0xFE)), (0.6, (0xE4, 0xF6, 0xFC)), (1.0, (0xD3, 0xF0, 0xF9))]
    )
    arcs = render_svg(
        """<svg xmlns="http://www.w3.org/2000/svg" width="360" height="328" viewBox="0 0 360 328">
  <g fill="none" stroke="#8fd3e8" opacity="0.35" stroke-width="2">
    <circle cx="360" cy="328" r="90"/>
    <circle cx="360" cy="328" r="140"/>
    <circle cx="360" cy="328" r="190"/>
    <circle cx="360" cy="328" r="240"/>
  </g>
</svg>""",
        360,
        328,
    )
    image.paste(arcs, (0, 0), arcs)
    image.save(DATA / "options-background.jpg", quality=88, optimize=True)


def progress_animation():
    """Data packets leave the recorder and fill a table, cell by cell, then start over."""
    width, height = 236, 57
    rows, cols = 4, 3
    table_x, table_y, cell_w, cell_h = 150, 5, 27, 9
    table_w, table_h = cols * cell_w, (rows + 1) * cell_h
    lane_y = table_y + table_h // 2
    # Packet m enters the line at frame m * per_cell and reaches the table 24 frames later, just as
    # the cell it fills appears; the loop length is a multiple of the three packet colours.
    speed, per_cell, travel = 4, 4, 24
    stream_start = 44
    stream_end = stream_start + (travel - 1) * speed + 2
    cells = rows * cols
    hold = 3 * per_cell  # the full table stays a moment before it empties
    frame_count = cells * per_cell + hold

    grid = (0x6E, 0x84, 0x9C)
    header = (0xC9, 0xDD, 0xF1)
    ink = (0x2F, 0x4A, 0x68)
    packet_colours = [(0x2E, 0x7D, 0xD1), (0x2F, 0xA8, 0x4F), (0xE0, 0x9A, 0x00)]
    text_lengths = [17, 12, 20, 9, 15, 19, 11, 16, 8, 18, 13, 10]

    frames = []
    for f in range(frame_count):
        image = Image.new("RGB", (width, height), "white")
        draw = ImageDraw.Draw(image)

        # The recorder: a box with a blinking lamp and a connector.
        draw.rectangle([6, 12, 38, 44], fill=(0xE4, 0xE9, 0xEF), outline=grid)
        draw.rectangle([11, 18, 33, 27], fill=(0x3B, 0x4B, 0x5C))
        lamp = (0x2F, 0xC8, 0x5A) if (f // 2) % 2 == 0 else (0x1C, 0x6B, 0x33)
        draw.ellipse([11, 33, 17, 39], fill=lamp)
        draw.rectangle([38, lane_y - 3, 42, lane_y + 3], fill=grid)

        # The line to the table, and the packets moving along it.
        draw.line([(stream_start, lane_y), (stream_end + 4, lane_y)], fill=(0xD5, 0xDD, 0xE6))
        for m in range(f // per_cell - travel // per_cell, f // per_cell + 1):
            x = stream_start + (f - m * per_cell) * speed
            if stream_start <= x <= stream_end:
                colour = packet_colours[m % len(packet_colours)]
                draw.rounded_rectangle([x, lane_y - 3, x + 6, lane_y + 3], radius=2, fill=colour)
        draw.polygon(
            [(stream_end, lane_y - 5), (stream_end + 5, lane_y), (stream_end, lane_y + 5)], fill=grid
        )

        # The table: a header row and the data rows filled so far.
        filled = min(cells, f // per_cell)
        filling = filled < cells
        draw.rectangle([table_x, table_y, table_x + table_w, table_y + cell_h], fill=header)
        for c in range(cols):
            cx = table_x + c * cell_w
            draw.rectangle([cx + 4, table_y + 3, cx + 4 + 14, table_y + 5], fill=ink)
        for i in range(filled):
            r, c = divmod(i, cols)
            cx = table_x + c * cell_w
            cy = table_y + (r + 1) * cell_h
            draw.rectangle(
                [cx + 4, cy + 3, cx + 4 + text_lengths[i], cy + 5],
                fill=packet_colours[(i + 1 - travel // per_cell) % len(packet_colours)],
            )
        if filling:
            r, c = divmod(filled, cols)
            cx = table_x + c * cell_w
            cy = table_y + (r + 1) * cell_h
            draw.rectangle([cx + 1, cy + 1, cx + cell_w - 1, cy + cell_h - 1], fill=(0xFF, 0xF3, 0xC4))
        for r in range(rows + 2):
            y = table_y + r * cell_h
            draw.line([(table_x, y), (table_x + table_w, y)], fill=grid)
        for c in range(cols + 1):
            x = table_x + c * cell_w
            draw.line([(x, table_y), (x, table_y + table_h)], fill=grid)
        frames.append(image.quantize(colors=32, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE))

    frames[0].save(
        DATA / "toxls.gif",
        save_all=True,
        append_images=frames[1:],
        duration=70,
        loop=0,
        optimize=True,
        disposal=1,
    )


def icon():
    svg = (DATA / "zorvek.svg").read_text(encoding="utf-8")
    picture = render_svg(svg, 256, 256)
    picture.save(DATA / "zorvek.png", optimize=True)
    picture.save(WINDOWS / "zorvek.ico", sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)])


def about():
    svg = (DATA / "about.svg").read_text(encoding="utf-8")
    render_svg(svg, 3 * 172, 3 * 180).convert("RGB").save(DATA / "about.png", optimize=True)


if __name__ == "__main__":
    DATA.mkdir(parents=True, exist_ok=True)
    main_background()
    options_background()
    progress_animation()
    icon()
    about()
