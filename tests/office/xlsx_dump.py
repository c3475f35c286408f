#!/usr/bin/python3
"""Prints what a workbook holds, one fact per tab-separated line:
sheet NAME | cell SHEET REF TYPE VALUE FORMAT BOLD SIZE FILL L/T/R/B HALIGN QUOTE
| merge SHEET RANGE | width SHEET COLUMN WIDTH HIDDEN | active SHEET"""
import sys
import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
print("active\t%s" % book.active.title)
print("order\t%s" % ",".join(ws.title for ws in book.worksheets))
for ws in book.worksheets:
    print("sheet\t%s" % ws.title)
    for row in ws.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            fill = c.fill.fgColor.rgb if c.fill and c.fill.fill_type == "solid" else "-"
            b = c.border
            sides = "/".join((s.style or "-") for s in (b.left, b.top, b.right, b.bottom))
            kind = type(c.value).__name__
            print("cell\t%s\t%s\t%s\t%s\t%s\t%d\t%g\t%s\t%s\t%s\t%d" % (
                ws.title, c.coordinate, kind, c.value, c.number_format, c.font.b or 0,
                c.font.sz or 0, fill, sides, c.alignment.horizontal or "-",
                1 if c.quotePrefix else 0))
    for m in ws.merged_cells.ranges:
        print("merge\t%s\t%s" % (ws.title, m.coord))
    for letter, dim in sorted(ws.column_dimensions.items()):
        if dim.customWidth or dim.hidden:
            print("width\t%s\t%s\t%.3f\t%d" % (ws.title, letter, dim.width or 0, 1 if dim.hidden else 0))
