#!/usr/bin/env python3
"""Writes the SVG sources of the application's icons and bitmaps into src/.
render.sh turns them into the PNGs the program embeds."""
import os

NAVY, TEAL, ORANGE, RED, GREEN, GREY = "#1d3557", "#2a9d8f", "#e76f51", "#c0392b", "#2e8b57", "#6c757d"
OUT = os.path.join(os.path.dirname(__file__), "src")


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">{body}</svg>\n')


def write(name, w, h, body):
    with open(os.path.join(OUT, name + ".svg"), "w") as f:
        f.write(svg(w, h, body))


def app_icon(size):
    s = size / 48
    grid = "".join(f'<line x1="{8*s}" y1="{y*s}" x2="{42*s}" y2="{y*s}" stroke="#5b7aa6" stroke-width="{s}"/>'
                   for y in (14, 24, 34))
    mag = (f'<path d="M{8*s},{16*s} L{22*s},{16*s} C{28*s},{16*s} {30*s},{20*s} {42*s},{38*s}" '
           f'fill="none" stroke="{ORANGE}" stroke-width="{3*s}" stroke-linecap="round"/>')
    ph = (f'<path d="M{8*s},{30*s} C{20*s},{30*s} {26*s},{40*s} {42*s},{41*s}" '
          f'fill="none" stroke="#8ecae6" stroke-width="{2.5*s}" stroke-linecap="round"/>')
    return (f'<rect x="{2*s}" y="{2*s}" width="{44*s}" height="{44*s}" rx="{8*s}" fill="{NAVY}"/>'
            f'{grid}<line x1="{8*s}" y1="{8*s}" x2="{8*s}" y2="{42*s}" stroke="white" stroke-width="{2*s}"/>'
            f'<line x1="{8*s}" y1="{42*s}" x2="{42*s}" y2="{42*s}" stroke="white" stroke-width="{2*s}"/>{mag}{ph}')


def logo():
    wave = "M4,10 C7,2 10,2 13,10 C16,18 19,18 22,10"
    return (f'<path d="{wave}" fill="none" stroke="{TEAL}" stroke-width="2.5" stroke-linecap="round"/>'
            f'<text x="27" y="15" font-family="Nimbus Sans" font-weight="bold" font-size="13" '
            f'fill="{NAVY}">QUELLMARSH</text>')


def resistor(x, y):
    pts = " ".join(f"{x + i * 4},{y + (-5 if i % 2 else 5) if 0 < i < 8 else y}" for i in range(9))
    return f'<polyline points="{pts}" fill="none" stroke="black" stroke-width="2"/>'


def inductor(x, y):
    return "".join(f'<path d="M{x + i*8},{y} a4,4 0 0 1 8,0" fill="none" stroke="black" stroke-width="2"/>'
                   for i in range(4))


def capacitor(x, y):
    return (f'<line x1="{x}" y1="{y-10}" x2="{x}" y2="{y+10}" stroke="black" stroke-width="2.5"/>'
            f'<line x1="{x+8}" y1="{y-10}" x2="{x+8}" y2="{y+10}" stroke="black" stroke-width="2.5"/>')


def label(x, y, text):
    return (f'<text x="{x}" y="{y}" font-family="Nimbus Sans" font-weight="bold" font-size="14" '
            f'text-anchor="middle" fill="{NAVY}">{text}</text>')


def piezo_circuit():
    """The resonator's equivalent circuit: the motional R, L and C in series,
    the electrode capacitance Cp across them."""
    top, bottom = 40, 92
    wires = [(10, 66, 40, 66), (40, 40, 40, 92), (220, 40, 220, 92), (220, 66, 250, 66),
             (40, top, 66, top), (98, top, 112, top), (144, top, 162, top), (170, top, 220, top),
             (40, bottom, 126, bottom), (134, bottom, 220, bottom)]
    body = '<rect width="260" height="120" fill="white"/>'
    body += "".join(f'<line x1="{a}" y1="{b}" x2="{c}" y2="{d}" stroke="black" stroke-width="2"/>'
                    for a, b, c, d in wires)
    body += resistor(66, top) + inductor(112, top) + capacitor(162, top) + capacitor(126, bottom)
    body += "".join(f'<circle cx="{x}" cy="66" r="4" fill="white" stroke="black" stroke-width="2"/>'
                    for x in (10, 250))
    body += label(82, 24, "R") + label(128, 24, "L") + label(166, 24, "C") + label(130, 116, "Cp")
    return body


def piezo_report_circuit():
    """The report's equivalent circuit (428 x 206): the motional L, R and C in
    series along the top, Cp across them below. The report writes each
    element's value above it (L at x 100, R at 190, C at 270 from y 10; Cp at
    190, 115), so the drawing keeps those strips free."""
    top, bottom, mid, left, right = 62, 160, 111, 50, 380
    wires = [(20, mid, left, mid), (left, top, left, bottom), (right, top, right, bottom),
             (right, mid, 410, mid), (left, top, 100, top), (132, top, 190, top),
             (222, top, 270, top), (278, top, right, top), (left, bottom, 200, bottom),
             (208, bottom, right, bottom)]
    body = '<rect width="428" height="206" fill="white"/>'
    body += "".join(f'<line x1="{a}" y1="{b}" x2="{c}" y2="{d}" stroke="black" stroke-width="2"/>'
                    for a, b, c, d in wires)
    body += inductor(100, top) + resistor(190, top) + capacitor(270, top) + capacitor(200, bottom)
    body += "".join(f'<circle cx="{x}" cy="{mid}" r="4" fill="white" stroke="black" stroke-width="2"/>'
                    for x in (20, 410))
    body += "".join(f'<circle cx="{x}" cy="{y}" r="3" fill="black"/>'
                    for x in (left, right) for y in (top, bottom))
    body += label(116, 94, "L") + label(206, 94, "R") + label(274, 94, "C") + label(204, 194, "Cp")
    return body


def ticks(style, colour):
    """An axis with its tick style: 0 plain, 1 short ticks, 2 grid lines."""
    body = f'<line x1="3" y1="2" x2="3" y2="17" stroke="{colour}" stroke-width="2"/>'
    body += f'<line x1="3" y1="17" x2="18" y2="17" stroke="{colour}" stroke-width="2"/>'
    for y in (5, 9, 13):
        x2 = 18 if style == 2 else 7 if style == 1 else 3
        if x2 > 3:
            dash = ' stroke-dasharray="2,1"' if style == 2 else ""
            body += f'<line x1="3" y1="{y}" x2="{x2}" y2="{y}" stroke="{colour}" stroke-width="1"{dash}/>'
    return body


def cylinder(x, y, w, h, fill="#a8c5e2"):
    return (f'<path d="M{x},{y+4} v{h-8} a{w/2},4 0 0 0 {w},0 v{-(h-8)}" fill="{fill}" stroke="{NAVY}" stroke-width="1.5"/>'
            f'<ellipse cx="{x+w/2}" cy="{y+4}" rx="{w/2}" ry="4" fill="#d6e6f5" stroke="{NAVY}" stroke-width="1.5"/>')


def badge(kind, colour, cx=24, cy=24):
    body = f'<circle cx="{cx}" cy="{cy}" r="7" fill="{colour}"/>'
    if kind in "+-x":
        body += f'<line x1="{cx-4}" y1="{cy}" x2="{cx+4}" y2="{cy}" stroke="white" stroke-width="2.2"/>' if kind != "x" else ""
        if kind == "+":
            body += f'<line x1="{cx}" y1="{cy-4}" x2="{cx}" y2="{cy+4}" stroke="white" stroke-width="2.2"/>'
        if kind == "x":
            body += (f'<line x1="{cx-3.5}" y1="{cy-3.5}" x2="{cx+3.5}" y2="{cy+3.5}" stroke="white" stroke-width="2.2"/>'
                     f'<line x1="{cx-3.5}" y1="{cy+3.5}" x2="{cx+3.5}" y2="{cy-3.5}" stroke="white" stroke-width="2.2"/>')
    return body


def document(x=6, y=3):
    return (f'<path d="M{x},{y} h14 l6,6 v20 h-20 z" fill="white" stroke="{NAVY}" stroke-width="1.5"/>'
            + "".join(f'<line x1="{x+4}" y1="{y+yy}" x2="{x+16}" y2="{y+yy}" stroke="{GREY}" stroke-width="1.2"/>'
                      for yy in (12, 16, 20)))


def folder():
    return (f'<path d="M3,9 h9 l3,3 h14 v16 h-26 z" fill="#f4c95d" stroke="#9a7b1c" stroke-width="1.5"/>')


def rows_list():
    body = f'<rect x="4" y="5" width="24" height="22" fill="white" stroke="{NAVY}" stroke-width="1.5"/>'
    body += f'<rect x="4" y="5" width="24" height="5" fill="{NAVY}"/>'
    body += "".join(f'<line x1="4" y1="{y}" x2="28" y2="{y}" stroke="{GREY}" stroke-width="1"/>' for y in (15, 20))
    return body


def arrow(x1, y1, x2, y2, colour):
    return (f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{colour}" stroke-width="2.5"/>'
            f'<circle cx="{x2}" cy="{y2}" r="2.5" fill="{colour}"/>')


def chart():
    return (f'<rect x="3" y="4" width="26" height="24" fill="white" stroke="{NAVY}" stroke-width="1.5"/>'
            f'<path d="M6,10 L14,10 C18,10 20,14 26,24" fill="none" stroke="{ORANGE}" stroke-width="2.2"/>'
            f'<path d="M6,20 C12,20 16,26 26,26" fill="none" stroke="{TEAL}" stroke-width="2"/>')


def magnifier():
    return ('<circle cx="6.5" cy="6.5" r="4.2" fill="#e8f1fa" stroke="#1d3557" stroke-width="1.8"/>'
            '<line x1="9.6" y1="9.6" x2="14.5" y2="14.5" stroke="#1d3557" stroke-width="2.4" stroke-linecap="round"/>')


def refresh():
    return (f'<path d="M24,12 a9,9 0 1 0 1,9" fill="none" stroke="{TEAL}" stroke-width="2.5"/>'
            f'<path d="M20,6 l6,6 l-7,2 z" fill="{TEAL}"/>')


def main():
    os.makedirs(OUT, exist_ok=True)
    write("101", 48, 48, app_icon(48))
    write("180", 48, 48, app_icon(48))
    write("203", 146, 20, logo())
    write("189", 260, 120, piezo_circuit())
    write("198", 428, 206, piezo_report_circuit())
    write("154", 16, 16, magnifier())
    for res, style in ((191, 2), (192, 1), (193, 0)):
        write(str(res), 20, 20, ticks(style, NAVY))
    for res, style in ((194, 2), (195, 1), (196, 0)):
        write(str(res), 20, 20, ticks(style, RED))
    tools = {
        138: cylinder(6, 5, 18, 22) + badge("+", GREEN, 24, 24),
        140: folder() + cylinder(12, 12, 12, 15),
        145: cylinder(8, 5, 16, 22),
        155: rows_list() + badge("+", GREEN, 25, 24),
        156: rows_list() + badge("-", RED, 25, 24),
        157: chart(),
        158: rows_list(),
        159: magnifier().replace("6.5", "13").replace("4.2", "8").replace("9.6", "19").replace("14.5", "28"),
        164: refresh(),
        160: folder() + badge("+", GREEN, 24, 24),
        161: folder() + badge("x", RED, 24, 24),
        162: document(10, 3) + arrow(2, 16, 12, 16, GREEN),
        163: document() + badge("x", RED, 24, 24),
        165: document() + arrow(16, 20, 29, 20, ORANGE),
    }
    for res, body in tools.items():
        write(str(res), 32, 32, body)


if __name__ == "__main__":
    main()
