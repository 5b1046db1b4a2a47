#!/usr/bin/env python3
"""Draws the two background pictures of the chat window's video pane into resources/video/:
video203.svg (187 x 175, the top: a frame around the peer's picture at 7, 28 sized 167 x 139,
under a title strip) and video202.svg (187 x 144, the bottom: a frame around the operator's own
picture at 41, 24 sized 97 x 90 when the pane's bottom is 120 pixels below that picture's top)."""
import os
import sys

DARK = "#23415f"
LIGHT = "#e8eef5"
ACCENT = "#4f86c6"

TOP_SVG = f'''<svg xmlns="http://www.w3.org/2000/svg" width="187" height="175" viewBox="0 0 187 175">
  <defs>
    <linearGradient id="back" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{LIGHT}"/>
      <stop offset="1" stop-color="#d3deea"/>
    </linearGradient>
  </defs>
  <rect width="187" height="175" fill="url(#back)"/>
  <rect x="0" y="0" width="187" height="22" fill="{DARK}"/>
  <circle cx="12" cy="11" r="5" fill="#e04848"/>
  <path d="M24 6 H38 A3 3 0 0 1 41 9 V13 L47 9 V17 L41 13 V15 A3 3 0 0 1 38 18 H24 A3 3 0 0 1 21 15 V9 A3 3 0 0 1 24 6 Z"
        fill="#ffffff"/>
  <rect x="4" y="25" width="173" height="145" rx="4" fill="{ACCENT}"/>
  <rect x="7" y="28" width="167" height="139" fill="#1a1f26"/>
  <g fill="#3a4656">
    <circle cx="90" cy="80" r="22"/>
    <rect x="56" y="108" width="68" height="59" rx="26"/>
  </g>
</svg>
'''

BOTTOM_SVG = f'''<svg xmlns="http://www.w3.org/2000/svg" width="187" height="144" viewBox="0 0 187 144">
  <rect width="187" height="144" fill="#d3deea"/>
  <path d="M0 10 H187" stroke="{ACCENT}" stroke-width="2"/>
  <rect x="38" y="21" width="103" height="96" rx="4" fill="{ACCENT}"/>
  <rect x="41" y="24" width="97" height="90" fill="#1a1f26"/>
  <g fill="#3a4656">
    <circle cx="89" cy="56" r="14"/>
    <rect x="68" y="76" width="42" height="38" rx="16"/>
  </g>
  <rect x="0" y="126" width="187" height="18" fill="{DARK}"/>
  <circle cx="94" cy="135" r="4" fill="#7fd07f"/>
</svg>
'''


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "video")
    out = sys.argv[1] if len(sys.argv) > 1 else root
    os.makedirs(out, exist_ok=True)
    for name, svg in (("video203.svg", TOP_SVG), ("video202.svg", BOTTOM_SVG)):
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            f.write(svg)
    with open(os.path.join(out, "video.qrc"), "w", encoding="utf-8") as f:
        f.write('<!DOCTYPE RCC><RCC version="1.0">\n<qresource prefix="/video">\n'
                '    <file>video202.svg</file>\n    <file>video203.svg</file>\n'
                '</qresource>\n</RCC>\n')


if __name__ == "__main__":
    main()
