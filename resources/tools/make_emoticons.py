#!/usr/bin/env python3
"""Draws the 65 chat emoticons into resources/chat/emoticons.svg: one row of 20 x 20 cells,
1300 x 20, cell i for emoticon i. Faces are a coloured disc with eyes and a mouth chosen per
emoticon; the things (heart, sun, gift, ...) are simple glyphs of their own."""
import os
import sys

CELL = 20

# Eyes: drawn around the centres (6.5, 8) and (13.5, 8).
EYES = {
    "dot": '<circle cx="6.5" cy="8" r="1.4"/><circle cx="13.5" cy="8" r="1.4"/>',
    "arc": '<path d="M4.8 8.5 Q6.5 6 8.2 8.5 M11.8 8.5 Q13.5 6 15.2 8.5" fill="none" stroke="#000" stroke-width="1.2"/>',
    "line": '<path d="M4.8 8 H8.2 M11.8 8 H15.2" stroke="#000" stroke-width="1.2"/>',
    "wide": '<circle cx="6.5" cy="8" r="2.2" fill="#fff" stroke="#000" stroke-width="0.8"/><circle cx="13.5" cy="8" r="2.2" fill="#fff" stroke="#000" stroke-width="0.8"/><circle cx="6.5" cy="8" r="0.9"/><circle cx="13.5" cy="8" r="0.9"/>',
    "wink": '<circle cx="6.5" cy="8" r="1.4"/><path d="M11.8 8 H15.2" stroke="#000" stroke-width="1.2"/>',
    "cross": '<path d="M5 6.5 L8 9.5 M8 6.5 L5 9.5 M12 6.5 L15 9.5 M15 6.5 L12 9.5" stroke="#000" stroke-width="1.1"/>',
    "angry": '<path d="M4.5 5.5 L8.5 7.5 M15.5 5.5 L11.5 7.5" stroke="#000" stroke-width="1.1"/><circle cx="6.5" cy="9" r="1.2"/><circle cx="13.5" cy="9" r="1.2"/>',
    "heart": '<path d="M6.5 10 L4.6 7.8 A1.1 1.1 0 0 1 6.5 6.6 A1.1 1.1 0 0 1 8.4 7.8 Z M13.5 10 L11.6 7.8 A1.1 1.1 0 0 1 13.5 6.6 A1.1 1.1 0 0 1 15.4 7.8 Z" fill="#e0245e"/>',
    "tear": '<circle cx="6.5" cy="8" r="1.4"/><circle cx="13.5" cy="8" r="1.4"/><path d="M5.5 10.5 Q4.8 12.5 5.6 13.2 Q6.4 12.5 5.8 10.5 Z" fill="#3b8fe0"/>',
}

# Mouths, below the eyes.
MOUTHS = {
    "smile": '<path d="M6 12.5 Q10 16 14 12.5" fill="none" stroke="#000" stroke-width="1.2"/>',
    "grin": '<path d="M5.5 12 Q10 18 14.5 12 Z" fill="#fff" stroke="#000" stroke-width="1"/>',
    "flat": '<path d="M6.5 13.5 H13.5" stroke="#000" stroke-width="1.2"/>',
    "sad": '<path d="M6 15 Q10 11.5 14 15" fill="none" stroke="#000" stroke-width="1.2"/>',
    "open": '<ellipse cx="10" cy="14" rx="2" ry="2.4" fill="#7a1b1b"/>',
    "tongue": '<path d="M6 12.5 Q10 16 14 12.5" fill="none" stroke="#000" stroke-width="1.2"/><path d="M10 14.3 Q12.5 17.5 13 14" fill="#e8506a"/>',
    "zip": '<path d="M6 13.5 H14 M7 12.5 V14.5 M9 12.5 V14.5 M11 12.5 V14.5 M13 12.5 V14.5" stroke="#000" stroke-width="0.8"/>',
    "wave": '<path d="M6 14 Q7.5 12.5 9 14 Q10.5 15.5 12 14 Q13.5 12.5 14.5 14" fill="none" stroke="#000" stroke-width="1.1"/>',
    "kiss": '<path d="M9 12.5 Q11 13.5 9.5 14.2 Q11 15 9 16" fill="none" stroke="#c0392b" stroke-width="1.2"/>',
    "mask": '<rect x="4.5" y="11" width="11" height="5.5" rx="1.5" fill="#fff" stroke="#999" stroke-width="0.7"/>',
}


def face(colour, eyes, mouth, extra=""):
    return ('<circle cx="10" cy="10" r="9" fill="%s" stroke="#8a5a00" stroke-width="0.8"/>%s%s%s'
            % (colour, EYES[eyes], MOUTHS[mouth], extra))


YELLOW, PINK, BLUE, GREEN, RED, GREY = "#ffd43b", "#ffb3c1", "#a5d8ff", "#b2f2bb", "#ff8787", "#ced4da"
BLUSH = '<circle cx="4.5" cy="11.5" r="1.5" fill="#ff8fa3"/><circle cx="15.5" cy="11.5" r="1.5" fill="#ff8fa3"/>'
SWEAT = '<path d="M16 3 Q14.5 6 16 7 Q17.5 6 16 3 Z" fill="#3b8fe0"/>'
ZZZ = '<path d="M13 2 H17 L13 6 H17" fill="none" stroke="#1c7ed6" stroke-width="1"/>'
HEART = '<path d="M10 17.5 L3 10 A4 4 0 0 1 10 5 A4 4 0 0 1 17 10 Z" fill="%s"/>'

THINGS = {
    "桃心": HEART % "#f06595",
    "红心": HEART % "#e03131",
    "心碎": HEART % "#e03131" + '<path d="M10 5 L8.5 9 L11 11 L9 17" fill="none" stroke="#fff" stroke-width="1.2"/>',
    "吃饭": '<ellipse cx="10" cy="13" rx="8" ry="4" fill="#f8f9fa" stroke="#868e96"/><path d="M6 2 L9 11 M9 2 L11 11" stroke="#8a5a00" stroke-width="1"/>',
    "彩虹": '<path d="M2 16 A8 8 0 0 1 18 16" fill="none" stroke="#e03131" stroke-width="2"/><path d="M4 16 A6 6 0 0 1 16 16" fill="none" stroke="#fab005" stroke-width="2"/><path d="M6 16 A4 4 0 0 1 14 16" fill="none" stroke="#40c057" stroke-width="2"/><path d="M8 16 A2 2 0 0 1 12 16" fill="none" stroke="#228be6" stroke-width="2"/>',
    "灯泡": '<circle cx="10" cy="8" r="6" fill="#ffe066" stroke="#e67700"/><rect x="7.5" y="13" width="5" height="5" fill="#868e96"/>',
    "花朵": '<g fill="#f783ac"><circle cx="10" cy="5" r="3"/><circle cx="15" cy="9" r="3"/><circle cx="13" cy="15" r="3"/><circle cx="7" cy="15" r="3"/><circle cx="5" cy="9" r="3"/></g><circle cx="10" cy="10.5" r="2.5" fill="#ffd43b"/>',
    "可乐": '<rect x="6" y="3" width="8" height="15" rx="2" fill="#c92a2a"/><path d="M6 9 Q10 7 14 10" stroke="#fff" stroke-width="1.2" fill="none"/>',
    "手机": '<rect x="6" y="2" width="8" height="16" rx="1.5" fill="#343a40"/><rect x="7" y="4" width="6" height="10" fill="#74c0fc"/>',
    "蛋糕": '<rect x="3" y="10" width="14" height="8" fill="#f4a261"/><rect x="3" y="10" width="14" height="2.5" fill="#fff"/><rect x="9.3" y="4" width="1.4" height="6" fill="#4dabf7"/><path d="M10 1.5 Q11.3 3 10 4 Q8.7 3 10 1.5 Z" fill="#fd7e14"/>',
    "太阳": '<circle cx="10" cy="10" r="5" fill="#fab005"/><path d="M10 1 V3.5 M10 16.5 V19 M1 10 H3.5 M16.5 10 H19 M3.6 3.6 L5.4 5.4 M14.6 14.6 L16.4 16.4 M3.6 16.4 L5.4 14.6 M14.6 5.4 L16.4 3.6" stroke="#fab005" stroke-width="1.5"/>',
    "邮件": '<rect x="2" y="5" width="16" height="11" fill="#fff" stroke="#495057"/><path d="M2 5 L10 12 L18 5" fill="none" stroke="#495057"/>',
    "礼物": '<rect x="3" y="8" width="14" height="10" fill="#e64980"/><rect x="2" y="6" width="16" height="3" fill="#f783ac"/><rect x="9" y="6" width="2" height="12" fill="#ffd43b"/><path d="M10 6 Q6 1 5 5 M10 6 Q14 1 15 5" fill="none" stroke="#ffd43b" stroke-width="1.2"/>',
    "大便": '<path d="M3 17 H17 Q18 13 14 12 Q15 8 11 8 Q12 4 9 3 Q9 7 6 8 Q5 11 6 12 Q2 13 3 17 Z" fill="#8d5524"/>',
    "药丸": '<rect x="2" y="7" width="16" height="6" rx="3" fill="#fff" stroke="#495057" transform="rotate(-35 10 10)"/><path d="M10 7 V13" stroke="#e03131" stroke-width="6" transform="rotate(-35 10 10) translate(-4 0)"/>',
    "闪电": '<path d="M12 1 L4 11 H9 L7 19 L16 8 H11 Z" fill="#fcc419" stroke="#e67700" stroke-width="0.6"/>',
    "刀子": '<path d="M3 17 L13 5 Q16 2 17 3 Q18 5 15 8 L5 19 Z" fill="#ced4da" stroke="#495057" stroke-width="0.6"/><path d="M3 17 L6 14 L8 16 L5 19 Z" fill="#5c3d2e"/>',
    "猪头": '<circle cx="10" cy="10.5" r="8.5" fill="#ffa8c5"/><path d="M3 4 L5 1 L7 4 Z M13 4 L15 1 L17 4 Z" fill="#f06595"/><ellipse cx="10" cy="12.5" rx="3.5" ry="2.5" fill="#f783ac"/><circle cx="8.7" cy="12.5" r="0.8"/><circle cx="11.3" cy="12.5" r="0.8"/><circle cx="6.5" cy="7.5" r="1"/><circle cx="13.5" cy="7.5" r="1"/>',
    "炸弹": '<circle cx="9" cy="12" r="7" fill="#212529"/><path d="M13 6 Q15 2 18 3" fill="none" stroke="#868e96" stroke-width="1.2"/><circle cx="18" cy="2.5" r="1.5" fill="#fd7e14"/>',
    "冷饮": '<path d="M5 6 H15 L13 19 H7 Z" fill="#a5d8ff" stroke="#1c7ed6" stroke-width="0.6"/><rect x="11" y="1" width="1.3" height="7" fill="#e03131" transform="rotate(15 11 4)"/>',
    "月笑": '<path d="M13 2 A8.5 8.5 0 1 0 18 15 A7 7 0 1 1 13 2 Z" fill="#ffe066" stroke="#e67700" stroke-width="0.6"/><path d="M6 12 Q8 14 10 12" fill="none" stroke="#000" stroke-width="1"/>',
    "口罩": face(YELLOW, "dot", "mask"),
    "投降": face(GREY, "line", "flat", '<path d="M16 2 V9 M16 2 H19.5 V5 H16" fill="#fff" stroke="#495057" stroke-width="0.8"/>'),
    "拍砖": '<rect x="2" y="8" width="16" height="8" fill="#c2410c" stroke="#7c2d12"/><path d="M2 12 H18 M7 8 V12 M13 12 V16" stroke="#7c2d12" stroke-width="0.7"/>',
}

# name: (disc colour, eyes, mouth, extra) for the faces, in the emoticons' order; the names
# in THINGS are drawn from there instead.
CODES = [
    "微笑", "大笑", "调皮", "偷笑", "淫笑", "桃心", "脸红", "憧憬", "惊讶", "难受", "惊呆", "傲慢", "流泪",
    "闭嘴", "睡觉", "哭泣", "不高兴", "寒", "疑问", "撒娇", "冷汗", "诧异", "疲惫", "摆势", "拍砖", "历害",
    "目瞪口呆", "痛苦", "绝望", "打击", "呕吐", "晕", "奸笑", "愤怒", "无奈", "眨眼", "喜欢", "磕睡", "纳闷",
    "生气", "不要", "口罩", "红心", "心碎", "吃饭", "飞吻", "投降", "愉快", "彩虹", "灯泡", "花朵", "可乐",
    "手机", "蛋糕", "月笑", "太阳", "邮件", "礼物", "大便", "药丸", "闪电", "刀子", "猪头", "炸弹", "冷饮",
]
QUESTION = '<text x="14" y="7" font-size="8" font-weight="bold" fill="#1c7ed6">?</text>'
SPIRAL = '<path d="M6.5 8 m-2 0 a2 2 0 1 0 4 0 a1 1 0 1 0 -2 0 M13.5 8 m-2 0 a2 2 0 1 0 4 0 a1 1 0 1 0 -2 0" fill="none" stroke="#000" stroke-width="0.8"/>'
FACES = {
    "微笑": (YELLOW, "dot", "smile", ""), "大笑": (YELLOW, "arc", "grin", ""),
    "调皮": (YELLOW, "wink", "tongue", ""), "偷笑": (YELLOW, "arc", "smile", BLUSH),
    "淫笑": (PINK, "line", "grin", BLUSH), "脸红": (PINK, "dot", "flat", BLUSH),
    "憧憬": (YELLOW, "heart", "smile", ""), "惊讶": (YELLOW, "wide", "open", ""),
    "难受": (GREEN, "line", "wave", ""), "惊呆": (BLUE, "wide", "flat", ""),
    "傲慢": (YELLOW, "line", "smile", '<path d="M4 5 L8.5 6.5 M16 5 L11.5 6.5" stroke="#000" stroke-width="0.9"/>'),
    "流泪": (BLUE, "tear", "sad", ""), "闭嘴": (YELLOW, "dot", "zip", ""),
    "睡觉": (GREY, "line", "flat", ZZZ), "哭泣": (BLUE, "tear", "open", '<path d="M14.5 10.5 Q15.2 12.5 14.4 13.2 Q13.6 12.5 14.2 10.5 Z" fill="#3b8fe0"/>'),
    "不高兴": (YELLOW, "dot", "sad", ""), "寒": (BLUE, "line", "wave", '<path d="M2 3 L4 5 M18 3 L16 5" stroke="#1c7ed6"/>'),
    "疑问": (YELLOW, "dot", "flat", QUESTION), "撒娇": (PINK, "arc", "kiss", BLUSH),
    "冷汗": (YELLOW, "line", "wave", SWEAT), "诧异": (YELLOW, "wide", "sad", ""),
    "疲惫": (GREY, "line", "sad", SWEAT), "摆势": (YELLOW, "wink", "grin", '<path d="M2 18 L6 14" stroke="#000" stroke-width="1.2"/>'),
    "历害": (YELLOW, "angry", "grin", ""), "目瞪口呆": (BLUE, "wide", "open", ""),
    "痛苦": (RED, "cross", "sad", ""), "绝望": (GREY, "cross", "open", ""),
    "打击": (RED, "cross", "wave", '<path d="M14 1 L16 4 L19 3 L17 6" fill="none" stroke="#e8590c" stroke-width="1"/>'),
    "呕吐": (GREEN, "cross", "open", '<path d="M8.5 15.5 Q10 20 11.5 15.5 Z" fill="#82c91e"/>'),
    "晕": (YELLOW, "dot", "wave", SPIRAL), "奸笑": (YELLOW, "angry", "smile", ""),
    "愤怒": (RED, "angry", "open", ""), "无奈": (GREY, "line", "flat", SWEAT),
    "眨眼": (YELLOW, "wink", "smile", ""), "喜欢": (PINK, "heart", "grin", ""),
    "磕睡": (GREY, "line", "open", ZZZ), "纳闷": (GREY, "dot", "wave", QUESTION),
    "生气": (RED, "angry", "sad", ""), "不要": (YELLOW, "cross", "flat", '<path d="M1 1 L19 19" stroke="#e03131" stroke-width="1.4"/>'),
    "飞吻": (PINK, "wink", "kiss", '<path d="M17 3 L15.5 1.5 A0.9 0.9 0 0 1 17 0.8 A0.9 0.9 0 0 1 18.5 1.5 Z" fill="#e0245e"/>'),
    "愉快": (GREEN, "arc", "smile", BLUSH),
}


def cell(name):
    if name in THINGS:
        return THINGS[name]
    colour, eyes, mouth, extra = FACES[name]
    return face(colour, eyes, mouth, extra)


def main():
    out_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "chat")
    if len(sys.argv) > 1:
        out_dir = sys.argv[1]
    assert len(CODES) == 65 and all(c in THINGS or c in FACES for c in CODES)
    cells = "".join('<g transform="translate(%d 0)">%s</g>' % (i * CELL, cell(name))
                    for i, name in enumerate(CODES))
    svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>\n'
           % (CELL * len(CODES), CELL, CELL * len(CODES), CELL, cells))
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "emoticons.svg"), "w", encoding="utf-8") as f:
        f.write(svg)


if __name__ == "__main__":
    main()
