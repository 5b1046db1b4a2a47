#!/usr/bin/env python3
"""Draws the pictures of the service message box (one per call category, 182 x 117) and of the
reminder window into resources/calls/. Each category has its own colour and a simple glyph; the
band in the middle stays light for the caller's name and telephone drawn over it."""
import os
import sys

WIDTH, HEIGHT = 182, 117

# code: (caption, dark colour, light colour, glyph drawn in a 40 x 40 box)
CATEGORIES = [
    ("求助呼叫", "#1f6fc8", "#dcebfb",
     '<circle cx="20" cy="20" r="17" fill="#fff"/>'
     '<path d="M13 15 C13 9 17 7 20.5 7 C25 7 28 10 28 14 C28 19 22 19.5 22 25" fill="none" '
     'stroke="{d}" stroke-width="4.5" stroke-linecap="round"/><circle cx="22" cy="32" r="2.8" fill="{d}"/>'),
    ("求救呼叫", "#c81e14", "#fde0dc",
     '<path d="M20 2 L38 36 L2 36 Z" fill="#fff" stroke="#fff" stroke-width="2" stroke-linejoin="round"/>'
     '<rect x="17.5" y="12" width="5" height="14" rx="2" fill="{d}"/><circle cx="20" cy="31" r="2.8" fill="{d}"/>'),
    ("物业管理", "#2d7d46", "#dff3e5",
     '<rect x="8" y="6" width="24" height="32" fill="#fff"/>'
     '<g fill="{d}"><rect x="12" y="10" width="5" height="5"/><rect x="23" y="10" width="5" height="5"/>'
     '<rect x="12" y="19" width="5" height="5"/><rect x="23" y="19" width="5" height="5"/>'
     '<rect x="17" y="29" width="6" height="9"/></g>'),
    ("每月团购", "#d9731a", "#fdebd9",
     '<path d="M7 14 L33 14 L31 38 L9 38 Z" fill="#fff"/>'
     '<path d="M14 16 L14 10 C14 4 26 4 26 10 L26 16" fill="none" stroke="#fff" stroke-width="3"/>'
     '<circle cx="20" cy="26" r="5" fill="{d}"/>'),
    ("家电维修", "#586a7a", "#e6ebf0",
     '<path d="M30 4 C24 4 21 9 23 14 L6 31 C4 33 7 36 9 34 L26 17 C31 19 36 16 36 10 L31 14 L27 13 L26 9 Z" '
     'fill="#fff"/>'),
    ("租房售房", "#8a5a2b", "#f3e8dc",
     '<circle cx="13" cy="20" r="9" fill="none" stroke="#fff" stroke-width="4.5"/>'
     '<path d="M21 20 L37 20 M31 20 L31 27 M35 20 L35 25" stroke="#fff" stroke-width="4.5" fill="none"/>'),
    ("网购视购", "#7b3fb5", "#efe3fa",
     '<path d="M3 8 L9 8 L13 28 L33 28 L36 13 L11 13" fill="none" stroke="#fff" stroke-width="3.5" '
     'stroke-linejoin="round"/><circle cx="15" cy="34" r="3.2" fill="#fff"/><circle cx="30" cy="34" r="3.2" fill="#fff"/>'),
    ("社区医院", "#d12f5a", "#fbe1e8",
     '<rect x="4" y="4" width="32" height="32" rx="6" fill="#fff"/>'
     '<path d="M16 9 H24 V16 H31 V24 H24 V31 H16 V24 H9 V16 H16 Z" fill="{d}"/>'),
    ("每周娱乐", "#c0399d", "#f9e0f2",
     '<path d="M15 31 L15 8 L34 4 L34 27" fill="none" stroke="#fff" stroke-width="3.5"/>'
     '<ellipse cx="10.5" cy="31" rx="6" ry="4.5" fill="#fff"/><ellipse cx="29.5" cy="27" rx="6" ry="4.5" fill="#fff"/>'),
    ("社区服务", "#e0465a", "#fde3e6",
     '<path d="M20 36 C4 24 2 16 6 10 C10 4 18 6 20 12 C22 6 30 4 34 10 C38 16 36 24 20 36 Z" fill="#fff"/>'),
    ("Quorvane客服", "#1693b5", "#daf2f9",
     '<path d="M6 24 L6 18 C6 9 12 4 20 4 C28 4 34 9 34 18 L34 24" fill="none" stroke="#fff" stroke-width="3.5"/>'
     '<rect x="3" y="20" width="8" height="12" rx="3" fill="#fff"/><rect x="29" y="20" width="8" height="12" rx="3" fill="#fff"/>'
     '<path d="M33 31 C32 36 26 37 22 37" fill="none" stroke="#fff" stroke-width="2.5"/>'),
    ("商务快餐", "#c4571b", "#fce7da",
     '<path d="M3 18 L37 18 C37 29 30 35 20 35 C10 35 3 29 3 18 Z" fill="#fff"/>'
     '<path d="M14 4 L22 16 M24 3 L27 16" stroke="#fff" stroke-width="3" stroke-linecap="round"/>'),
    ("母婴服务", "#e27aa5", "#fdebf3",
     '<rect x="12" y="12" width="16" height="25" rx="5" fill="#fff"/>'
     '<rect x="15" y="7" width="10" height="6" fill="#fff"/><path d="M17 7 C17 2 23 2 23 7" fill="#fff"/>'
     '<path d="M12 20 H28 M12 27 H28" stroke="{d}" stroke-width="2"/>'),
    ("衣服干洗", "#2f8fd0", "#def0fb",
     '<path d="M13 4 L20 8 L27 4 L37 11 L32 19 L29 17 L29 37 L11 37 L11 17 L8 19 L3 11 Z" fill="#fff"/>'),
    ("家政服务", "#6c8f1e", "#ecf5da",
     '<path d="M27 3 L19 23" stroke="#fff" stroke-width="4" stroke-linecap="round"/>'
     '<path d="M12 21 L26 27 L20 38 L4 31 Z" fill="#fff"/>'),
    ("证券期货", "#b3261e", "#fbe3e1",
     '<path d="M4 4 L4 36 L37 36" fill="none" stroke="#fff" stroke-width="3"/>'
     '<path d="M8 30 L16 20 L23 25 L35 9" fill="none" stroke="#fff" stroke-width="4" stroke-linejoin="round"/>'),
    ("家庭装修", "#d39a12", "#fcf1d6",
     '<rect x="4" y="4" width="28" height="11" rx="3" fill="#fff"/>'
     '<path d="M32 9 L37 9 L37 20 L20 20 L20 26" fill="none" stroke="#fff" stroke-width="3"/>'
     '<rect x="17" y="25" width="6" height="13" rx="2" fill="#fff"/>'),
    ("商品配送", "#3c6fb0", "#e0eaf7",
     '<rect x="2" y="10" width="22" height="18" fill="#fff"/><path d="M24 15 L32 15 L38 22 L38 28 L24 28 Z" fill="#fff"/>'
     '<circle cx="10" cy="31" r="4" fill="#fff" stroke="{d}" stroke-width="2"/>'
     '<circle cx="31" cy="31" r="4" fill="#fff" stroke="{d}" stroke-width="2"/>'),
    ("家庭教育", "#2e7f8f", "#dcf0f3",
     '<path d="M20 10 C14 6 8 6 3 8 L3 34 C8 32 14 32 20 35 C26 32 32 32 37 34 L37 8 C32 6 26 6 20 10 Z" fill="#fff"/>'
     '<path d="M20 10 L20 35" stroke="{d}" stroke-width="2"/>'),
    ("安防报警", "#3a3f8f", "#e2e3f5",
     '<path d="M20 3 L35 9 C35 24 29 32 20 37 C11 32 5 24 5 9 Z" fill="#fff"/>'
     '<path d="M13 20 L18 25 L28 14" fill="none" stroke="{d}" stroke-width="3.5" stroke-linecap="round"/>'),
    ("机票订房", "#1b86c9", "#dcefFa",
     '<path d="M37 5 C35 3 32 4 30 6 L24 12 L8 8 L5 11 L18 18 L12 25 L7 24 L5 26 L11 29 L14 35 L16 33 '
     'L15 28 L22 22 L29 35 L32 32 L28 16 L34 10 C36 8 38 7 37 5 Z" fill="#fff"/>'),
    ("银行金融", "#a07a10", "#f8efd5",
     '<circle cx="20" cy="20" r="16" fill="#fff"/><circle cx="20" cy="20" r="11.5" fill="none" stroke="{d}" stroke-width="2"/>'
     '<path d="M15 13 L20 20 L25 13 M20 20 L20 29 M15 21 H25 M15 25 H25" fill="none" stroke="{d}" stroke-width="2.2"/>'),
    ("旅游度假", "#e08a1e", "#fdf0dc",
     '<circle cx="28" cy="11" r="7" fill="#fff"/>'
     '<path d="M2 36 C8 28 14 28 20 32 C26 36 32 34 38 28 L38 38 L2 38 Z" fill="#fff"/>'
     '<path d="M10 32 L13 17 M13 17 C9 14 5 15 3 18 M13 17 C16 13 20 13 22 16" fill="none" stroke="#fff" stroke-width="2.5"/>'),
    ("土产特产", "#4f8a2a", "#e6f3dd",
     '<path d="M20 37 C20 27 20 20 20 17" stroke="#fff" stroke-width="3"/>'
     '<path d="M20 20 C8 22 4 12 6 3 C16 3 22 10 20 20 Z" fill="#fff"/>'
     '<path d="M20 26 C28 28 34 22 35 14 C27 13 21 18 20 26 Z" fill="#fff"/>'),
    ("保健礼品", "#b02d6e", "#f8e0ec",
     '<rect x="4" y="15" width="32" height="22" fill="#fff"/><rect x="2" y="10" width="36" height="7" fill="#fff"/>'
     '<path d="M20 10 L20 37" stroke="{d}" stroke-width="3"/>'
     '<path d="M20 10 C14 2 8 6 12 10 M20 10 C26 2 32 6 28 10" fill="none" stroke="#fff" stroke-width="2.5"/>'),
    ("废旧回收", "#2a8a5a", "#dcf3e7",
     '<path d="M20 4 L27 15 L31 13 L28 22 L19 21 L23 18 L20 12 L16 19 L10 15 Z" fill="#fff"/>'
     '<path d="M6 22 L13 34 L27 34 L27 29 L16 29 L12 23 L15 21 L7 19 Z" fill="#fff"/>'
     '<path d="M29 24 L35 34 L31 34 Z" fill="#fff"/>'),
    ("电脑维修", "#44546a", "#e3e8ef",
     '<rect x="3" y="5" width="34" height="23" rx="2" fill="#fff"/><rect x="7" y="9" width="26" height="15" fill="{d}"/>'
     '<path d="M15 28 L13 35 L27 35 L25 28 Z" fill="#fff"/>'),
]

FONT = "Noto Sans CJK SC, WenQuanYi Micro Hei, sans-serif"


def category_svg(caption, dark, light, glyph):
    glyph = glyph.replace("{d}", dark)
    # Four Chinese characters fit at 17 pixels; the customer-service caption is longer.
    size = 17 if len(caption) <= 4 else 13
    return f'''<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" viewBox="0 0 {WIDTH} {HEIGHT}">
  <rect x="0.5" y="0.5" width="{WIDTH - 1}" height="{HEIGHT - 1}" fill="{light}" stroke="{dark}"/>
  <rect x="1" y="1" width="{WIDTH - 2}" height="44" fill="{dark}"/>
  <g transform="translate(8,3)">{glyph}</g>
  <text x="56" y="30" font-family="{FONT}" font-size="{size}" font-weight="bold" fill="#ffffff">{caption}</text>
  <rect x="10" y="49" width="{WIDTH - 20}" height="18" rx="3" fill="#ffffff" stroke="{dark}" stroke-opacity="0.35"/>
  <path d="M10 84 H{WIDTH - 10}" stroke="{dark}" stroke-opacity="0.4"/>
  <text x="{WIDTH // 2}" y="104" text-anchor="middle" font-family="{FONT}" font-size="12" fill="{dark}">新的呼叫，请及时处理</text>
</svg>
'''


WARNING_SVG = f'''<svg xmlns="http://www.w3.org/2000/svg" width="390" height="124" viewBox="0 0 390 124">
  <rect width="390" height="124" fill="#ffffff"/>
  <path d="M56 14 L98 92 L14 92 Z" fill="#f2b31b" stroke="#a06d00" stroke-width="3" stroke-linejoin="round"/>
  <rect x="52" y="38" width="8" height="32" rx="3" fill="#3a2a00"/>
  <circle cx="56" cy="80" r="5" fill="#3a2a00"/>
  <text x="118" y="52" font-family="{FONT}" font-size="20" font-weight="bold" fill="#b02a1a">请注意查看呼叫！</text>
  <text x="118" y="84" font-family="{FONT}" font-size="14" fill="#404040">还有等待处理的呼叫，请及时处理。</text>
</svg>
'''


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "calls")
    out = sys.argv[1] if len(sys.argv) > 1 else root
    os.makedirs(out, exist_ok=True)
    for code, (caption, dark, light, glyph) in enumerate(CATEGORIES):
        with open(os.path.join(out, f"category{code:02d}.svg"), "w", encoding="utf-8") as f:
            f.write(category_svg(caption, dark, light, glyph))
    with open(os.path.join(out, "warning.svg"), "w", encoding="utf-8") as f:
        f.write(WARNING_SVG)


if __name__ == "__main__":
    main()
