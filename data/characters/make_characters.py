#!/usr/bin/env python3
"""Writes the four shipped characters: <name>.acs (manifest) and <name>.svg (artwork).

The characters share one skeleton of layers, so one set of animations drives all four; each
character brings its own artwork, voice and a few touches of its own.
Run it from this folder after changing the artwork or the animations.
"""
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Layer ids, back to front, with pivots in artwork units (viewBox 0 0 200 240).
SKELETON = [
    ("shadow", (100, 232), None, 1),
    ("arm-left", (70, 134), "body", 1),
    ("body", (100, 232), None, 1),
    ("head", (100, 122), "body", 1),
    ("eyes", (100, 90), "head", 1),
    ("eyes-closed", (100, 90), "head", 0),
    ("brows", (100, 76), "head", 1),
    ("mouth", (100, 110), "head", 0),
    ("hat", (100, 70), "head", 1),
    ("arm-right", (130, 134), "body", 1),
    ("prop", (150, 176), "arm-right", 1),
    ("tear", (84, 100), "head", 0),
    ("question", (160, 40), "head", 0),
    ("exclaim", (160, 40), "head", 0),
    ("bulb", (100, 18), "head", 0),
    ("sparkle", (100, 60), None, 0),
]


def k(t, **pose):
    pose["t"] = t
    return pose


def blink_tracks(start, length=220):
    return {
        "eyes": [k(start, opacity=1), k(start + 50, opacity=0), k(start + length - 50, opacity=0),
                 k(start + length, opacity=1)],
        "eyes-closed": [k(start, opacity=0), k(start + 50, opacity=1),
                        k(start + length - 50, opacity=1), k(start + length, opacity=0)],
    }


def merge(*parts):
    tracks = {}
    for part in parts:
        for layer, keys in part.items():
            tracks.setdefault(layer, []).extend(keys)
    for keys in tracks.values():
        keys.sort(key=lambda key: key["t"])
    return tracks


def wave(layer, start, angle, swing, times, step):
    keys = [k(start, rotate=0)]
    t = start + step
    for i in range(times):
        keys.append(k(t, rotate=angle - (swing if i % 2 else 0)))
        t += step
    keys.append(k(t, rotate=0))
    return {layer: keys}


def animations(extra):
    a = {
        "Showing": {"duration": 800, "tracks": {
            "character": [k(0, scale=0.05, opacity=0), k(450, scale=1.1, opacity=1), k(650, scale=0.96),
                          k(800, scale=1)],
            "sparkle": [k(150, opacity=0, scale=0.5), k(400, opacity=1, scale=1.2), k(800, opacity=0, scale=1.4)]}},
        "Hiding": {"duration": 700, "tracks": {
            "character": [k(0, scale=1), k(200, scale=1.08, dy=-4), k(700, scale=0.05, opacity=0, dy=0)],
            "sparkle": [k(300, opacity=0), k(500, opacity=1, scale=1.1), k(700, opacity=0, scale=1.3)]}},
        "Blink": {"duration": 260, "tracks": blink_tracks(0, 240)},
        "Idle": {"duration": 3000, "tracks": merge(
            {"head": [k(0), k(700, rotate=-6), k(1700, rotate=5), k(2600, rotate=0)],
             "body": [k(0), k(1200, sy=1.02), k(2400, sy=1)],
             "arm-right": [k(0), k(900, rotate=-8), k(2000, rotate=0)]},
            blink_tracks(1500))},
        "Speaking": {"duration": 2600, "tracks": {
            "head": [k(0), k(650, rotate=-3, dy=1), k(1300, rotate=0, dy=0), k(1950, rotate=3, dy=1),
                     k(2600, rotate=0, dy=0)],
            "brows": [k(0), k(400, dy=-2), k(900, dy=0), k(1700, dy=-1.5), k(2200, dy=0)],
            "arm-left": [k(0), k(1300, rotate=6), k(2600, rotate=0)]}},
        "Acknowledge": {"duration": 1000, "tracks": {
            "head": [k(0), k(220, dy=6, sy=0.96), k(420, dy=0, sy=1), k(640, dy=5, sy=0.97), k(860, dy=0, sy=1)],
            "brows": [k(0), k(200, dy=-3), k(800, dy=-3), k(1000, dy=0)]}},
        "Confused": {"duration": 2000, "tracks": {
            "head": [k(0), k(350, rotate=-12), k(1600, rotate=-12), k(2000, rotate=0)],
            "brows": [k(0), k(300, dy=-4, rotate=8), k(1700, dy=-4, rotate=8), k(2000, dy=0, rotate=0)],
            "arm-right": [k(0), k(400, rotate=-150), k(700, rotate=-140), k(1000, rotate=-152),
                          k(1300, rotate=-140), k(1700, rotate=-150), k(2000, rotate=0)],
            "question": [k(200, opacity=0, dy=8), k(500, opacity=1, dy=0), k(1000, dy=-4), k(1400, dy=0),
                         k(1700, opacity=1), k(2000, opacity=0)]}},
        "Decline": {"duration": 1500, "tracks": {
            "head": [k(0), k(180, rotate=9), k(420, rotate=-9), k(660, rotate=9), k(900, rotate=-7),
                     k(1150, rotate=0)],
            "brows": [k(0), k(200, dy=3), k(1200, dy=3), k(1500, dy=0)],
            "arm-left": [k(0), k(300, rotate=60), k(1200, rotate=60), k(1500, rotate=0)],
            "arm-right": [k(0), k(300, rotate=-60), k(1200, rotate=-60), k(1500, rotate=0)]}},
        "Explain": {"duration": 2000, "tracks": {
            "arm-right": [k(0), k(350, rotate=-70), k(700, rotate=-55), k(1050, rotate=-75), k(1400, rotate=-58),
                          k(2000, rotate=0)],
            "arm-left": [k(0), k(500, rotate=35), k(1500, rotate=35), k(2000, rotate=0)],
            "head": [k(0), k(400, rotate=5), k(1500, rotate=5), k(2000, rotate=0)],
            "brows": [k(0), k(400, dy=-2), k(1600, dy=-2), k(2000, dy=0)]}},
        "GetAttention": {"duration": 1800, "tracks": {
            "character": [k(0), k(180, dy=-16), k(360, dy=0), k(540, dy=-12), k(720, dy=0)],
            "arm-right": [k(0), k(250, rotate=-145), k(500, rotate=-110), k(750, rotate=-145), k(1000, rotate=-110),
                          k(1250, rotate=-145), k(1800, rotate=0)],
            "brows": [k(0), k(200, dy=-5), k(1500, dy=-5), k(1800, dy=0)],
            "exclaim": [k(100, opacity=0, scale=0.4), k(350, opacity=1, scale=1.2), k(500, scale=1),
                        k(1500, opacity=1), k(1800, opacity=0)]}},
        "Greet": {"duration": 2000, "tracks": merge(
            wave("arm-right", 0, -140, 30, 5, 260),
            {"head": [k(0), k(300, rotate=-6), k(1500, rotate=-6), k(1900, rotate=0)],
             "body": [k(0), k(300, rotate=-2), k(1500, rotate=-2), k(1900, rotate=0)],
             "sparkle": [k(200, opacity=0, scale=0.6), k(600, opacity=1, scale=1), k(1500, opacity=1, scale=1.1),
                         k(2000, opacity=0, scale=1.2)]})},
        "Pleased": {"duration": 1600, "tracks": {
            "character": [k(0), k(200, dy=-10, sy=1.04), k(400, dy=0, sy=0.97), k(600, dy=-7, sy=1.03),
                          k(800, dy=0, sy=1)],
            "head": [k(0), k(300, rotate=-5), k(700, rotate=5), k(1100, rotate=0)],
            "brows": [k(0), k(200, dy=-4), k(1300, dy=-4), k(1600, dy=0)],
            "arm-left": [k(0), k(300, rotate=110), k(1200, rotate=110), k(1600, rotate=0)],
            "arm-right": [k(0), k(300, rotate=-110), k(1200, rotate=-110), k(1600, rotate=0)],
            "sparkle": [k(100, opacity=0, scale=0.5), k(400, opacity=1, scale=1), k(1200, opacity=1, scale=1.15),
                        k(1600, opacity=0, scale=1.3)]}},
        "Sad": {"duration": 2400, "tracks": {
            "head": [k(0), k(500, dy=7, rotate=7), k(2000, dy=7, rotate=7), k(2400, dy=0, rotate=0)],
            "brows": [k(0), k(500, dy=3, rotate=-6), k(2000, dy=3, rotate=-6), k(2400, dy=0, rotate=0)],
            "arm-left": [k(0), k(500, rotate=-8), k(2000, rotate=-8), k(2400, rotate=0)],
            "arm-right": [k(0), k(500, rotate=8), k(2000, rotate=8), k(2400, rotate=0)],
            "body": [k(0), k(500, sy=0.97), k(2000, sy=0.97), k(2400, sy=1)],
            "tear": [k(500, opacity=0, dy=0), k(700, opacity=1, dy=0), k(1500, opacity=1, dy=16),
                     k(1800, opacity=0, dy=22)]}},
        "Suggest": {"duration": 1900, "tracks": {
            "arm-right": [k(0), k(350, rotate=-160), k(1500, rotate=-160), k(1900, rotate=0)],
            "head": [k(0), k(350, rotate=-4), k(1500, rotate=-4), k(1900, rotate=0)],
            "brows": [k(0), k(300, dy=-4), k(1500, dy=-4), k(1900, dy=0)],
            "bulb": [k(250, opacity=0, scale=0.3), k(550, opacity=1, scale=1.15), k(750, scale=1),
                     k(1100, scale=1.08), k(1500, opacity=1, scale=1), k(1900, opacity=0)]}},
        "Surprised": {"duration": 1400, "tracks": {
            "character": [k(0), k(150, dy=-12, sy=1.06), k(350, dy=0, sy=1)],
            "eyes": [k(0), k(150, scale=1.25), k(1100, scale=1.25), k(1400, scale=1)],
            "brows": [k(0), k(150, dy=-7), k(1100, dy=-7), k(1400, dy=0)],
            "arm-left": [k(0), k(200, rotate=70), k(1100, rotate=70), k(1400, rotate=0)],
            "arm-right": [k(0), k(200, rotate=-70), k(1100, rotate=-70), k(1400, rotate=0)],
            "exclaim": [k(100, opacity=0, scale=0.4), k(300, opacity=1, scale=1.2), k(450, scale=1),
                        k(1100, opacity=1), k(1400, opacity=0)]}},
    }
    for name, tweak in extra.items():
        base = a[name]["tracks"]
        for layer, keys in tweak.get("tracks", {}).items():
            base[layer] = keys
        if "duration" in tweak:
            a[name]["duration"] = tweak["duration"]
    return a


ACCENTS = """
  <g id="tear"><path d="M84,100 C80,108 78,112 78,115 A6,6 0 0 0 90,115 C90,112 88,108 84,100 Z"
     fill="#6fc3ff" stroke="#2a7fc0" stroke-width="1"/></g>
  <g id="question"><circle cx="160" cy="36" r="17" fill="#fff8d0" stroke="#c89a00" stroke-width="2"/>
    <text x="160" y="47" font-family="DejaVu Sans" font-weight="bold" font-size="30" text-anchor="middle"
     fill="#c06000">?</text></g>
  <g id="exclaim"><circle cx="160" cy="36" r="17" fill="#ffe9e0" stroke="#d03010" stroke-width="2"/>
    <text x="160" y="47" font-family="DejaVu Sans" font-weight="bold" font-size="30" text-anchor="middle"
     fill="#d02000">!</text></g>
  <g id="bulb">
    <path d="M100,2 L100,-4 M84,8 L79,4 M116,8 L121,4 M79,20 L73,20 M121,20 L127,20" stroke="#ffb000"
     stroke-width="2.5" stroke-linecap="round"/>
    <circle cx="100" cy="20" r="12" fill="url(#bulbGlow)" stroke="#c88a00" stroke-width="1.5"/>
    <rect x="95" y="31" width="10" height="7" rx="2" fill="#9a9a9a" stroke="#666" stroke-width="1"/></g>
  <g id="sparkle">
    <path d="M40,50 L43,58 L51,61 L43,64 L40,72 L37,64 L29,61 L37,58 Z" fill="#ffe14d" stroke="#d9a400" stroke-width="1"/>
    <path d="M160,70 L162,76 L168,78 L162,80 L160,86 L158,80 L152,78 L158,76 Z" fill="#ffe14d" stroke="#d9a400" stroke-width="1"/>
    <path d="M150,18 L151.5,22 L156,23.5 L151.5,25 L150,29 L148.5,25 L144,23.5 L148.5,22 Z" fill="#fff3a6" stroke="#d9a400" stroke-width="0.8"/>
    <path d="M52,110 L53.5,114 L58,115.5 L53.5,117 L52,121 L50.5,117 L46,115.5 L50.5,114 Z" fill="#fff3a6" stroke="#d9a400" stroke-width="0.8"/></g>
"""

COMMON_DEFS = """
    <radialGradient id="bulbGlow" cx="0.4" cy="0.35" r="0.7">
      <stop offset="0" stop-color="#ffffff"/><stop offset="0.5" stop-color="#fff27a"/><stop offset="1" stop-color="#ffc400"/>
    </radialGradient>
    <radialGradient id="shadowFill" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#000000" stop-opacity="0.35"/><stop offset="1" stop-color="#000000" stop-opacity="0"/>
    </radialGradient>
"""


def svg(defs, parts):
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" viewBox="0 0 200 240" width="200" height="240">
  <defs>{COMMON_DEFS}{defs}
  </defs>
  <g id="shadow"><ellipse cx="100" cy="231" rx="52" ry="7" fill="url(#shadowFill)"/></g>
{parts}{ACCENTS}</svg>
"""


def eyes(lx, rx, y, r, iris, pupil_r=None):
    pupil_r = pupil_r or r * 0.45
    return f"""  <g id="eyes">
    <ellipse cx="{lx}" cy="{y}" rx="{r}" ry="{r * 1.15}" fill="#ffffff" stroke="#333" stroke-width="1.2"/>
    <ellipse cx="{rx}" cy="{y}" rx="{r}" ry="{r * 1.15}" fill="#ffffff" stroke="#333" stroke-width="1.2"/>
    <circle cx="{lx + 1.5}" cy="{y + 1}" r="{pupil_r * 1.5}" fill="{iris}"/>
    <circle cx="{rx + 1.5}" cy="{y + 1}" r="{pupil_r * 1.5}" fill="{iris}"/>
    <circle cx="{lx + 1.5}" cy="{y + 1}" r="{pupil_r}" fill="#111"/>
    <circle cx="{rx + 1.5}" cy="{y + 1}" r="{pupil_r}" fill="#111"/>
    <circle cx="{lx + 3}" cy="{y - 2}" r="{pupil_r * 0.4}" fill="#fff"/>
    <circle cx="{rx + 3}" cy="{y - 2}" r="{pupil_r * 0.4}" fill="#fff"/>
  </g>
  <g id="eyes-closed">
    <ellipse cx="{lx}" cy="{y}" rx="{r}" ry="{r * 1.15}" fill="{{lid}}"/>
    <ellipse cx="{rx}" cy="{y}" rx="{r}" ry="{r * 1.15}" fill="{{lid}}"/>
    <path d="M{lx - r},{y} Q{lx},{y + r * 0.8} {lx + r},{y} M{rx - r},{y} Q{rx},{y + r * 0.8} {rx + r},{y}"
     fill="none" stroke="#222" stroke-width="1.8" stroke-linecap="round"/>
  </g>
"""


MERLIN = svg("""
    <linearGradient id="robe" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#1d2f8f"/><stop offset="0.5" stop-color="#3552c8"/><stop offset="1" stop-color="#1a2a80"/>
    </linearGradient>
    <linearGradient id="hatFill" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#24389c"/><stop offset="0.55" stop-color="#4464dc"/><stop offset="1" stop-color="#1e2f88"/>
    </linearGradient>
    <radialGradient id="skin" cx="0.45" cy="0.4" r="0.65">
      <stop offset="0" stop-color="#ffe0c4"/><stop offset="1" stop-color="#e9b48e"/>
    </radialGradient>
    <linearGradient id="beard" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#d8dde6"/>
    </linearGradient>
""", """  <g id="arm-left">
    <path d="M72,130 C60,150 54,168 52,184 L66,188 C70,172 76,156 84,142 Z" fill="url(#robe)" stroke="#101a55" stroke-width="1.5"/>
    <circle cx="58" cy="190" r="8" fill="url(#skin)" stroke="#a86f4a" stroke-width="1"/>
  </g>
  <g id="body">
    <path d="M76,124 C70,160 58,200 46,228 L154,228 C142,200 130,160 124,124 Z" fill="url(#robe)" stroke="#101a55" stroke-width="2"/>
    <path d="M88,128 L100,228 L112,128" fill="none" stroke="#ffd34d" stroke-width="2" opacity="0.8"/>
    <path d="M66,200 L69,207 L76,208 L70,212 L72,219 L66,215 L60,219 L62,212 L56,208 L63,207 Z" fill="#ffd34d"/>
    <path d="M134,176 L136,181 L141,182 L137,185 L138,190 L134,187 L130,190 L131,185 L127,182 L132,181 Z" fill="#ffd34d"/>
    <path d="M52,226 L148,226" stroke="#ffd34d" stroke-width="3"/>
  </g>
  <g id="head">
    <ellipse cx="100" cy="92" rx="28" ry="30" fill="url(#skin)" stroke="#a86f4a" stroke-width="1.5"/>
    <path d="M72,96 C70,130 86,160 100,170 C114,160 130,130 128,96 C120,110 110,112 100,112 C90,112 80,110 72,96 Z"
     fill="url(#beard)" stroke="#9aa3b3" stroke-width="1.2"/>
    <path d="M86,108 C92,103 98,105 100,108 C102,105 108,103 114,108 C108,112 102,111 100,109 C98,111 92,112 86,108 Z"
     fill="#f4f6fa" stroke="#9aa3b3" stroke-width="1"/>
    <ellipse cx="100" cy="99" rx="6" ry="8" fill="#f0b894" stroke="#a86f4a" stroke-width="1"/>
    <ellipse cx="84" cy="102" rx="5" ry="3" fill="#f5a3a0" opacity="0.6"/>
    <ellipse cx="116" cy="102" rx="5" ry="3" fill="#f5a3a0" opacity="0.6"/>
  </g>
""" + eyes(89, 111, 88, 6.5, "#3b6fd0").replace("{lid}", "#f0c4a0") + """  <g id="brows">
    <path d="M80,80 C84,74 92,74 96,79" fill="none" stroke="#ffffff" stroke-width="5" stroke-linecap="round"/>
    <path d="M104,79 C108,74 116,74 120,80" fill="none" stroke="#ffffff" stroke-width="5" stroke-linecap="round"/>
    <path d="M80,80 C84,74 92,74 96,79 M104,79 C108,74 116,74 120,80" fill="none" stroke="#9aa3b3" stroke-width="1"/>
  </g>
  <g id="mouth">
    <ellipse cx="100" cy="114" rx="7" ry="6" fill="#5a1d1d" stroke="#3a1010" stroke-width="1"/>
    <ellipse cx="100" cy="117" rx="4" ry="2.5" fill="#e0706a"/>
  </g>
  <g id="hat">
    <path d="M66,70 C80,60 120,60 134,70 C124,76 76,76 66,70 Z" fill="#1a2a80" stroke="#101a55" stroke-width="1.5"/>
    <path d="M72,69 C84,50 92,28 104,6 C112,14 118,18 126,16 C118,30 122,50 128,69 C110,74 90,74 72,69 Z"
     fill="url(#hatFill)" stroke="#101a55" stroke-width="1.5"/>
    <path d="M96,40 L98,45 L103,46 L99,49 L100,54 L96,51 L92,54 L93,49 L89,46 L94,45 Z" fill="#ffd34d"/>
    <circle cx="112" cy="56" r="2.5" fill="#ffd34d"/><circle cx="108" cy="28" r="2" fill="#ffd34d"/>
    <path d="M74,68 C90,72 110,72 126,68" fill="none" stroke="#ffd34d" stroke-width="2.5"/>
  </g>
  <g id="arm-right">
    <path d="M128,130 C140,150 146,168 148,184 L134,188 C130,172 124,156 116,142 Z" fill="url(#robe)" stroke="#101a55" stroke-width="1.5"/>
    <circle cx="142" cy="190" r="8" fill="url(#skin)" stroke="#a86f4a" stroke-width="1"/>
  </g>
  <g id="prop">
    <path d="M140,196 L162,150" stroke="#6b3d1f" stroke-width="4" stroke-linecap="round"/>
    <path d="M163,139 L165.5,145 L172,146 L167,150 L168.5,156 L163,153 L157.5,156 L159,150 L154,146 L160.5,145 Z"
     fill="#ffe14d" stroke="#d9a400" stroke-width="1"/>
  </g>
""")


PEEDY = svg("""
    <radialGradient id="feathers" cx="0.45" cy="0.35" r="0.7">
      <stop offset="0" stop-color="#5fd35a"/><stop offset="1" stop-color="#1f8a2a"/>
    </radialGradient>
    <radialGradient id="belly" cx="0.5" cy="0.4" r="0.6">
      <stop offset="0" stop-color="#fff6a8"/><stop offset="1" stop-color="#f2c94c"/>
    </radialGradient>
    <linearGradient id="beak" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffc04a"/><stop offset="1" stop-color="#e07b10"/>
    </linearGradient>
    <linearGradient id="wing" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2e9e3a"/><stop offset="0.7" stop-color="#1d7a2a"/><stop offset="1" stop-color="#2b6fd6"/>
    </linearGradient>
""", """  <g id="arm-left">
    <path d="M74,132 C56,146 48,172 52,198 C60,196 66,188 70,178 C70,190 74,196 78,198 C82,180 86,160 86,142 Z"
     fill="url(#wing)" stroke="#145a1e" stroke-width="1.5"/>
  </g>
  <g id="body">
    <path d="M92,200 L86,226 M108,200 L114,226" stroke="#e07b10" stroke-width="4" stroke-linecap="round"/>
    <path d="M78,226 L94,226 M106,226 L122,226" stroke="#e07b10" stroke-width="4" stroke-linecap="round"/>
    <path d="M92,196 L84,236 L100,214 L116,236 L108,196 Z" fill="#2b6fd6" stroke="#1a4a9a" stroke-width="1.2"/>
    <ellipse cx="100" cy="166" rx="36" ry="44" fill="url(#feathers)" stroke="#145a1e" stroke-width="2"/>
    <ellipse cx="100" cy="174" rx="22" ry="30" fill="url(#belly)"/>
    <path d="M90,160 Q100,166 110,160 M88,176 Q100,182 112,176 M90,192 Q100,197 110,192" fill="none"
     stroke="#d9a93a" stroke-width="1.2"/>
  </g>
  <g id="head">
    <circle cx="100" cy="92" r="32" fill="url(#feathers)" stroke="#145a1e" stroke-width="2"/>
    <ellipse cx="100" cy="100" rx="22" ry="16" fill="#ffffff" opacity="0.9"/>
    <path d="M86,100 C90,94 110,94 114,100 C112,112 106,122 100,124 C94,118 88,110 86,100 Z" fill="url(#beak)"
     stroke="#a85a08" stroke-width="1.5"/>
    <path d="M92,101 C96,98 104,98 108,101" fill="none" stroke="#a85a08" stroke-width="1.5"/>
    <circle cx="95" cy="99" r="1.3" fill="#6a3500"/><circle cx="105" cy="99" r="1.3" fill="#6a3500"/>
  </g>
""" + eyes(87, 113, 84, 8, "#f28c00").replace("{lid}", "#3fb048") + """  <g id="brows">
    <path d="M78,73 C83,69 90,69 94,72 M106,72 C110,69 117,69 122,73" fill="none" stroke="#145a1e"
     stroke-width="3" stroke-linecap="round"/>
  </g>
  <g id="mouth">
    <path d="M90,110 C94,122 106,122 110,110 C106,114 94,114 90,110 Z" fill="#7a1f1f" stroke="#4a0f0f" stroke-width="1"/>
    <ellipse cx="100" cy="116" rx="4" ry="2" fill="#ff8a8a"/>
  </g>
  <g id="hat">
    <path d="M96,62 C88,44 80,36 72,34 C84,32 94,40 100,54 C100,38 106,26 116,22 C108,34 106,46 106,60 C112,48 122,42 132,44
     C120,48 112,56 108,64 Z" fill="#ff5a2a" stroke="#b8300e" stroke-width="1.5"/>
    <path d="M100,54 C101,44 104,34 110,28" fill="none" stroke="#ffd34d" stroke-width="1.5"/>
  </g>
  <g id="arm-right">
    <path d="M126,132 C144,146 152,172 148,198 C140,196 134,188 130,178 C130,190 126,196 122,198 C118,180 114,160 114,142 Z"
     fill="url(#wing)" stroke="#145a1e" stroke-width="1.5"/>
  </g>
  <g id="prop">
    <path d="M150,196 C156,192 160,186 160,180" fill="none" stroke="#ff5a2a" stroke-width="3" stroke-linecap="round"/>
  </g>
""")


ROBBY = svg("""
    <linearGradient id="metal" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#8e99a6"/><stop offset="0.45" stop-color="#e4e9ef"/><stop offset="1" stop-color="#7d8894"/>
    </linearGradient>
    <linearGradient id="metalDark" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#5e6873"/><stop offset="0.5" stop-color="#a9b3be"/><stop offset="1" stop-color="#59636d"/>
    </linearGradient>
    <radialGradient id="eyeGlow" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#e8ffff"/><stop offset="0.5" stop-color="#38e0ff"/><stop offset="1" stop-color="#0a7fa8"/>
    </radialGradient>
    <radialGradient id="redLight" cx="0.4" cy="0.4" r="0.6">
      <stop offset="0" stop-color="#ffd0d0"/><stop offset="0.5" stop-color="#ff3030"/><stop offset="1" stop-color="#9a0000"/>
    </radialGradient>
""", """  <g id="arm-left">
    <rect x="62" y="132" width="12" height="46" rx="5" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1.5"/>
    <circle cx="68" cy="156" r="4" fill="#3c444d"/>
    <path d="M60,178 L56,194 L64,190 L68,198 L72,190 L80,194 L76,178 Z" fill="url(#metal)" stroke="#3c444d" stroke-width="1.5"/>
  </g>
  <g id="body">
    <rect x="80" y="116" width="40" height="10" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1"/>
    <rect x="70" y="124" width="60" height="72" rx="8" fill="url(#metal)" stroke="#3c444d" stroke-width="2"/>
    <rect x="82" y="136" width="36" height="26" rx="3" fill="#23303c" stroke="#3c444d" stroke-width="1"/>
    <circle cx="90" cy="149" r="4" fill="#4cff6a"/><circle cx="100" cy="149" r="4" fill="#ffd34d"/>
    <circle cx="110" cy="149" r="4" fill="#ff5050"/>
    <path d="M84,172 L116,172 M84,178 L116,178 M84,184 L116,184" stroke="#56606b" stroke-width="2"/>
    <rect x="74" y="196" width="20" height="26" rx="3" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1.5"/>
    <rect x="106" y="196" width="20" height="26" rx="3" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1.5"/>
    <rect x="66" y="218" width="32" height="12" rx="6" fill="#3c444d"/>
    <rect x="102" y="218" width="32" height="12" rx="6" fill="#3c444d"/>
  </g>
  <g id="head">
    <rect x="70" y="62" width="60" height="54" rx="10" fill="url(#metal)" stroke="#3c444d" stroke-width="2"/>
    <rect x="62" y="80" width="8" height="20" rx="3" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1"/>
    <rect x="130" y="80" width="8" height="20" rx="3" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1"/>
    <rect x="78" y="74" width="44" height="28" rx="6" fill="#1d2630"/>
    <rect x="88" y="104" width="24" height="8" rx="2" fill="#1d2630"/>
    <path d="M92,104 L92,112 M96,104 L96,112 M100,104 L100,112 M104,104 L104,112 M108,104 L108,112" stroke="#56606b" stroke-width="1"/>
  </g>
  <g id="eyes">
    <circle cx="89" cy="88" r="8" fill="url(#eyeGlow)"/>
    <circle cx="111" cy="88" r="8" fill="url(#eyeGlow)"/>
    <circle cx="90" cy="88" r="3" fill="#003848"/><circle cx="112" cy="88" r="3" fill="#003848"/>
  </g>
  <g id="eyes-closed">
    <circle cx="89" cy="88" r="8.5" fill="#1d2630"/><circle cx="111" cy="88" r="8.5" fill="#1d2630"/>
    <path d="M81,88 L97,88 M103,88 L119,88" stroke="#38e0ff" stroke-width="2.5" stroke-linecap="round"/>
  </g>
  <g id="brows">
    <path d="M80,72 L97,74 M103,74 L120,72" stroke="#3c444d" stroke-width="3.5" stroke-linecap="round"/>
  </g>
  <g id="mouth">
    <rect x="88" y="104" width="24" height="8" rx="2" fill="#38e0ff"/>
    <path d="M90,108 L94,105 L98,111 L102,105 L106,111 L110,108" fill="none" stroke="#e8ffff" stroke-width="1.5"/>
  </g>
  <g id="hat">
    <path d="M100,62 L100,40" stroke="#3c444d" stroke-width="3"/>
    <path d="M92,52 Q100,46 108,52" fill="none" stroke="#56606b" stroke-width="2"/>
    <circle cx="100" cy="36" r="6" fill="url(#redLight)" stroke="#6a0000" stroke-width="1"/>
  </g>
  <g id="arm-right">
    <rect x="126" y="132" width="12" height="46" rx="5" fill="url(#metalDark)" stroke="#3c444d" stroke-width="1.5"/>
    <circle cx="132" cy="156" r="4" fill="#3c444d"/>
    <path d="M124,178 L120,194 L128,190 L132,198 L136,190 L144,194 L140,178 Z" fill="url(#metal)" stroke="#3c444d" stroke-width="1.5"/>
  </g>
  <g id="prop">
    <circle cx="132" cy="182" r="3" fill="#4cff6a" opacity="0.9"/>
  </g>
""")


GENIE = svg("""
    <radialGradient id="genieSkin" cx="0.45" cy="0.4" r="0.7">
      <stop offset="0" stop-color="#8fd0ff"/><stop offset="1" stop-color="#3a7fd0"/>
    </radialGradient>
    <linearGradient id="smoke" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#5aa0f0"/><stop offset="1" stop-color="#bcdcff" stop-opacity="0.7"/>
    </linearGradient>
    <linearGradient id="gold" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#fff0a0"/><stop offset="0.5" stop-color="#e8b020"/><stop offset="1" stop-color="#a87000"/>
    </linearGradient>
    <linearGradient id="vest" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#8a1a6a"/><stop offset="0.5" stop-color="#c03090"/><stop offset="1" stop-color="#7a1060"/>
    </linearGradient>
""", """  <g id="arm-left">
    <path d="M72,130 C60,144 54,160 54,178 L66,180 C68,166 74,152 84,142 Z" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1.5"/>
    <rect x="53" y="170" width="14" height="6" rx="2" fill="url(#gold)"/>
    <circle cx="60" cy="184" r="8" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1"/>
  </g>
  <g id="body">
    <path d="M100,226 C70,230 60,222 66,214 C74,206 96,212 104,206" fill="none" stroke="url(#gold)" stroke-width="0"/>
    <path d="M72,214 C70,206 80,202 100,204 C120,202 134,206 134,214 C134,222 120,228 100,228 C86,228 72,224 72,214 Z"
     fill="url(#gold)" stroke="#8a5a00" stroke-width="1.5"/>
    <path d="M134,212 C146,210 152,204 156,198" fill="none" stroke="#a87000" stroke-width="4" stroke-linecap="round"/>
    <path d="M74,208 C66,206 62,198 64,192" fill="none" stroke="#a87000" stroke-width="4" stroke-linecap="round"/>
    <path d="M100,204 C86,196 84,184 96,176 C108,168 120,160 112,146 L88,146 C80,160 90,170 84,180 C78,192 88,200 100,204 Z"
     fill="url(#smoke)" stroke="#3a7fd0" stroke-width="1"/>
    <path d="M78,124 C74,136 76,148 86,154 L114,154 C124,148 126,136 122,124 Z" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1.5"/>
    <path d="M78,124 C76,136 80,146 90,152 L92,128 Z M122,124 C124,136 120,146 110,152 L108,128 Z" fill="url(#vest)"
     stroke="#5a0a48" stroke-width="1"/>
    <rect x="84" y="148" width="32" height="8" rx="3" fill="url(#gold)"/>
    <path d="M90,136 Q95,140 100,136 Q105,140 110,136" fill="none" stroke="#1d4f8f" stroke-width="1"/>
  </g>
  <g id="head">
    <path d="M126,78 C140,82 146,96 140,114 C136,104 132,96 126,92 Z" fill="#1a1a40"/>
    <ellipse cx="100" cy="94" rx="27" ry="30" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1.5"/>
    <ellipse cx="72" cy="96" rx="4" ry="7" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1"/>
    <ellipse cx="128" cy="96" rx="4" ry="7" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1"/>
    <circle cx="72" cy="104" r="2.5" fill="url(#gold)"/>
    <path d="M96,96 C96,102 95,104 100,104 C105,104 104,102 104,96" fill="none" stroke="#1d4f8f" stroke-width="1.3"/>
    <path d="M90,110 C96,114 104,114 110,110" fill="none" stroke="#1a1a40" stroke-width="2" stroke-linecap="round"/>
    <path d="M96,118 C98,126 102,126 104,118 C102,120 98,120 96,118 Z" fill="#1a1a40"/>
  </g>
""" + eyes(89, 111, 88, 6, "#1a1a40").replace("{lid}", "#5c9ee6") + """  <g id="brows">
    <path d="M80,79 C85,74 92,74 96,78 M104,78 C108,74 115,74 120,79" fill="none" stroke="#1a1a40" stroke-width="3.5"
     stroke-linecap="round"/>
  </g>
  <g id="mouth">
    <path d="M90,110 C94,122 106,122 110,110 C104,113 96,113 90,110 Z" fill="#3a0a30" stroke="#1a1a40" stroke-width="1"/>
    <path d="M92,111 C96,113 104,113 108,111" fill="none" stroke="#ffffff" stroke-width="2"/>
  </g>
  <g id="hat">
    <path d="M72,76 C70,56 84,46 100,46 C116,46 130,56 128,76 C118,70 82,70 72,76 Z" fill="#f4f0ff" stroke="#9a8ac0" stroke-width="1.5"/>
    <path d="M76,66 C90,58 110,58 124,66 M74,72 C90,64 110,64 126,72" fill="none" stroke="#cbbfe8" stroke-width="1.5"/>
    <ellipse cx="100" cy="62" rx="6" ry="7" fill="#e0203a" stroke="url(#gold)" stroke-width="2"/>
    <path d="M100,55 C96,44 100,36 108,34 C104,40 104,48 102,55 Z" fill="#e0203a"/>
  </g>
  <g id="arm-right">
    <path d="M128,130 C140,144 146,160 146,178 L134,180 C132,166 126,152 116,142 Z" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1.5"/>
    <rect x="133" y="170" width="14" height="6" rx="2" fill="url(#gold)"/>
    <circle cx="140" cy="184" r="8" fill="url(#genieSkin)" stroke="#1d4f8f" stroke-width="1"/>
  </g>
  <g id="prop">
    <path d="M146,176 C150,168 156,168 158,174 C160,180 154,184 150,182" fill="none" stroke="#8fd0ff" stroke-width="2"
     stroke-linecap="round" opacity="0.9"/>
  </g>
""")


CHARACTERS = {
    "merlin": {"name": "Merlin", "svg": MERLIN,
               "voice": {"name": "en+m3", "rate": 150, "pitch": 32, "range": 45}, "extra": {}},
    "peedy": {"name": "Peedy", "svg": PEEDY,
              "voice": {"name": "en-us+m7", "rate": 185, "pitch": 78, "range": 80},
              "extra": {"GetAttention": {"tracks": {
                  "arm-left": [k(0), k(150, rotate=70), k(300, rotate=30), k(450, rotate=70), k(600, rotate=30),
                               k(750, rotate=70), k(1000, rotate=0)],
                  "arm-right": [k(0), k(150, rotate=-70), k(300, rotate=-30), k(450, rotate=-70), k(600, rotate=-30),
                                k(750, rotate=-70), k(1000, rotate=0)]}}}},
    "robby": {"name": "Robby", "svg": ROBBY,
              "voice": {"name": "en+klatt2", "rate": 160, "pitch": 40, "range": 5},
              "extra": {"Idle": {"tracks": {
                  "hat": [k(0), k(500, rotate=-10), k(1000, rotate=10), k(1500, rotate=0)],
                  "prop": [k(0, opacity=1), k(400, opacity=0.2), k(800, opacity=1), k(1200, opacity=0.2),
                           k(1600, opacity=1)]}}}},
    "genie": {"name": "Genie", "svg": GENIE,
              "voice": {"name": "en+m1", "rate": 165, "pitch": 45, "range": 70},
              "extra": {"Showing": {"duration": 1000, "tracks": {
                  "character": [k(0, sx=0.1, sy=0.05, dy=20, opacity=0), k(600, sx=1.05, sy=1.1, dy=-4, opacity=1),
                                k(1000, sx=1, sy=1, dy=0)]}},
                  "Idle": {"tracks": {
                      "body": [k(0), k(750, dy=-4), k(1500, dy=0), k(2250, dy=-4), k(3000, dy=0)]}}}},
}


def manifest(key, details):
    return {
        "format": 1,
        "name": details["name"],
        "artwork": key + ".svg",
        "width": 170,
        "height": 204,
        "voice": details["voice"],
        "mouth": "mouth",
        "layers": [dict({"id": i, "pivot": list(p)}, **({"parent": parent} if parent else {}),
                        **({"opacity": o} if o != 1 else {})) for i, p, parent, o in SKELETON],
        "animations": animations(details["extra"]),
    }


def main():
    for key, details in CHARACTERS.items():
        with open(os.path.join(HERE, key + ".svg"), "w", encoding="utf-8") as out:
            out.write(details["svg"])
        with open(os.path.join(HERE, key + ".acs"), "w", encoding="utf-8") as out:
            json.dump(manifest(key, details), out, indent=1)
            out.write("\n")


if __name__ == "__main__":
    main()
