#!/usr/bin/env python3
"""Draws the application's button and picture resources as SVG files in this folder.

Each button exists twice: "<name>" for the normal state and "<name>_H" while the pointer is
over it. Run it after changing a colour or a label; the SVG files are committed.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
FONT = "font-family=\"DejaVu Sans, Helvetica Neue, Arial, sans-serif\""

ACCENT = ("#2f9e8f", "#38b3a2")      # normal, hovered
DANGER = ("#d0493d", "#e25a4d")
QUIET = ("#ffffff", "#eef3f6")
ON_DARK = ("none", "#ffffff22")


def glyph(kind, x, y, colour):
    """A small line icon, 16 units square, at (x, y)."""
    s = f'stroke="{colour}" stroke-width="2" fill="none" stroke-linecap="round" stroke-linejoin="round"'
    if kind == "search":
        return (f'<circle cx="{x+7}" cy="{y+7}" r="5.5" {s}/>'
                f'<line x1="{x+11}" y1="{y+11}" x2="{x+15.5}" y2="{y+15.5}" {s}/>')
    if kind == "refresh":
        return (f'<path d="M{x+14} {y+8} A6 6 0 1 1 {x+12} {y+3.5}" {s}/>'
                f'<polyline points="{x+12.5},{y} {x+12.5},{y+4} {x+8.5},{y+4}" {s}/>')
    if kind == "back":
        return (f'<polyline points="{x+9},{y+2} {x+3},{y+8} {x+9},{y+14}" {s}/>'
                f'<line x1="{x+3}" y1="{y+8}" x2="{x+15}" y2="{y+8}" {s}/>')
    if kind == "trash":
        return (f'<path d="M{x+2} {y+4} H{x+14} M{x+6} {y+4} V{y+1.5} H{x+10} V{y+4} '
                f'M{x+3.5} {y+4} L{x+4.5} {y+15} H{x+11.5} L{x+12.5} {y+4}" {s}/>'
                f'<line x1="{x+8}" y1="{y+7}" x2="{x+8}" y2="{y+12}" {s}/>')
    if kind == "star":
        return (f'<polygon points="{x+8},{y+1} {x+10.2},{y+5.8} {x+15.3},{y+6.2} {x+11.4},{y+9.6} '
                f'{x+12.6},{y+14.7} {x+8},{y+12} {x+3.4},{y+14.7} {x+4.6},{y+9.6} {x+0.7},{y+6.2} '
                f'{x+5.8},{y+5.8}" {s}/>')
    if kind == "info":
        return (f'<circle cx="{x+8}" cy="{y+8}" r="7" {s}/>'
                f'<line x1="{x+8}" y1="{y+7}" x2="{x+8}" y2="{y+12}" {s}/>'
                f'<circle cx="{x+8}" cy="{y+4.3}" r="0.6" {s}/>')
    if kind == "list":
        return (f'<rect x="{x+1}" y="{y+1}" width="6" height="6" rx="1.2" {s}/>'
                f'<rect x="{x+9}" y="{y+1}" width="6" height="6" rx="1.2" {s}/>'
                f'<rect x="{x+1}" y="{y+9}" width="6" height="6" rx="1.2" {s}/>'
                f'<rect x="{x+9}" y="{y+9}" width="6" height="6" rx="1.2" {s}/>')
    raise ValueError(kind)


def button(name, label, icon, width, height, palette, text, border=None, radius=None):
    radius = height / 2 if radius is None else radius
    for suffix, fill in (("", palette[0]), ("_H", palette[1])):
        stroke = f'stroke="{border}" stroke-width="1"' if border else 'stroke="none"'
        shadow = ("" if fill == "none" or fill.endswith("22") else
                  f'<rect x="1" y="2" width="{width-2}" height="{height-2}" rx="{radius}" fill="#0000001a"/>')
        tw = len(label) * 7.6
        gx = (width - (tw + 24)) / 2
        svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
               f'viewBox="0 0 {width} {height}">{shadow}'
               f'<rect x="0.5" y="0.5" width="{width-1}" height="{height-2}" rx="{radius}" fill="{fill}" {stroke}/>'
               f'{glyph(icon, gx, (height-2)/2-8, text)}'
               f'<text x="{gx+24}" y="{(height-2)/2+5}" {FONT} font-size="13.5" font-weight="bold" '
               f'fill="{text}">{label}</text></svg>\n')
        (HERE / f"{name}{suffix}.svg").write_text(svg)


button("Bn_RunAnalysis", "Run Analysis", "search", 168, 42, ACCENT, "#ffffff")
button("Bn_CompleteUninstall", "Complete Uninstall", "trash", 206, 42, DANGER, "#ffffff")
button("Bn_Refresh", "Refresh", "refresh", 112, 34, QUIET, "#34495a", border="#c4ced6")
button("Bn_BacktoStep1", "Back", "back", 104, 42, QUIET, "#34495a", border="#c4ced6")
button("Bn_BacktoInterface", "Back to the list", "list", 176, 42, ACCENT, "#ffffff")
button("Bn_Reviews", "Reviews", "star", 104, 30, ON_DARK, "#ffffff", radius=6)
button("Bn_About", "About", "info", 88, 30, ON_DARK, "#ffffff", radius=6)

(HERE / "Warn.svg").write_text(
    '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">'
    '<path d="M32 5 L61 56 Q62 59 59 59 H5 Q2 59 3 56 Z" fill="#f0a43a" stroke="#c77f1c" '
    'stroke-width="2" stroke-linejoin="round"/>'
    '<rect x="29" y="21" width="6" height="22" rx="3" fill="#ffffff"/>'
    '<circle cx="32" cy="50" r="3.6" fill="#ffffff"/></svg>\n')

(HERE / "UAPPSWARN.svg").write_text(
    '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">'
    '<path d="M32 4 L56 13 V31 C56 46 45 56 32 61 C19 56 8 46 8 31 V13 Z" fill="#d0493d" '
    'stroke="#a3342a" stroke-width="2" stroke-linejoin="round"/>'
    '<rect x="29" y="17" width="6" height="24" rx="3" fill="#ffffff"/>'
    '<circle cx="32" cy="48" r="3.6" fill="#ffffff"/></svg>\n')

(HERE / "Vendrel.svg").write_text(
    '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">'
    '<defs><linearGradient id="bg" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#56707f"/><stop offset="1" stop-color="#384c59"/></linearGradient>'
    '<linearGradient id="box" x1="0" y1="0" x2="0" y2="1">'
    '<stop offset="0" stop-color="#44c2b0"/><stop offset="1" stop-color="#2a8f81"/></linearGradient></defs>'
    '<rect x="12" y="12" width="232" height="232" rx="52" fill="url(#bg)"/>'
    '<path d="M70 112 H186 L176 204 Q175 214 165 214 H91 Q81 214 80 204 Z" fill="url(#box)"/>'
    '<rect x="60" y="96" width="136" height="20" rx="8" fill="#e9f3f1"/>'
    '<path d="M128 40 V84 M108 66 L128 88 L148 66" stroke="#ffffff" stroke-width="14" '
    'fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
    '<path d="M106 138 V190 M128 138 V190 M150 138 V190" stroke="#ffffff" stroke-opacity="0.7" '
    'stroke-width="9" stroke-linecap="round"/></svg>\n')

(HERE / "GenericApp.svg").write_text(
    '<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">'
    '<rect x="10" y="10" width="108" height="108" rx="24" fill="#dfe6eb" stroke="#b7c3cc" stroke-width="2"/>'
    '<rect x="30" y="34" width="68" height="52" rx="6" fill="#ffffff" stroke="#8fa1ae" stroke-width="3"/>'
    '<line x1="30" y1="46" x2="98" y2="46" stroke="#8fa1ae" stroke-width="3"/>'
    '<circle cx="38" cy="40" r="2.2" fill="#d0493d"/><circle cx="45" cy="40" r="2.2" fill="#f0a43a"/>'
    '<circle cx="52" cy="40" r="2.2" fill="#2f9e8f"/></svg>\n')
