#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

The seeds are small valid inputs: result files of every mode (CP932, CR LF) with a few masks,
and a handful of patterns, times, numbers and settings files. Run it again after changing it;
the files it writes are committed.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
NEXT_FILE = b"\x00\xffNEXT\x00"


def sjis(text):
    return text.encode("cp932")


def result_file(mode, turns=2, waveform=3, therapy_on_22=False, seed=1):
    u = ["KYROVA RESULT", "VERSION 2.10", f"U{1000 + seed}\tユーザID",
         f"2024/05/{10 + seed},{9 + seed}:05:07\t測定日時", f"患者 {seed}号\t名前",
         "1950/01/02\t生年月日", "男\t性別", f"P-{seed}\t患者コード", "-", "-", " 170 \t身長",
         "65.5\t体重", "-", "A\tシートベース", "3\t背もたれ", "5\tシート", "4\tペダル高さ",
         "38\tペダル長さ"]
    if mode == 1:
        u += ["30\t設定時間", "45\tペダル角度", "0.5\t間隔", "90\t原点", "正\t回転方向", "-", "-",
              "30\t測定時間", "150.2\t最大トルク", "12.5\tピーク時間", "800.1\t力積",
              f"{turns}\tピーク記録回数"]
        u += [f"{10 + i}.3,0.{i}\tピーク" for i in range(1, turns + 1)]
    elif mode == 2:
        u += [f"{turns}\t回転回数", "30", "10", "90", "逆", "-", "-", "300,120.5", "60.2,60.3",
              "110.0,3,45", "108.0,4,50", "-", "-"]
        u += [f"{i},{i * 10},50.1,12,45,49.8,11,50,5.5,40,5.6,41,30,20\t回"
              for i in range(1, turns + 1)]
    elif mode == 3:
        u += ["-", "正\t回転方向", "1,10,20\t目標範囲"]
        if not therapy_on_22:
            u += ["50,80\t相対強度"]
        u += ["2\t療法期", "600\t運動時間", "35.5\t消費カロリー", "-", "600,120", "30.1", "30.2",
              "100.5,98.0"]
    else:
        u += [f"{turns}\t回転回数", "30", "10", "90", "正", "-", "-", "120.5,3,45\t左",
              "118.0,4,50\t右", "-"]
        u += [f"{i},{100 + i}.0,12,45,{98 + i}.0,11,50\t回" for i in range(1, turns + 1)]
    u += ["WAVE", "deg,load,speed"]
    u += [f"{i},{i * 7 % 200}.5,\t{30 + i % 5}" for i in range(waveform)]
    return b"".join(sjis(line) + b"\r\n" for line in u)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def run_seeds():
    all_items = (1 << 25) - 1
    default = 15728891
    for mode in range(4):
        for label, mask in (("all", all_items), ("default", default), ("waveform", 1 << 24 | 3)):
            head = bytes([mode]) + struct.pack("<I", mask)
            write("run", f"mode{mode}_{label}", head + result_file(mode))
        two = result_file(mode, turns=1, seed=2) + NEXT_FILE + result_file(
            mode, turns=0, waveform=0, therapy_on_22=True, seed=3)
        write("run", f"mode{mode}_two_files", bytes([mode]) + struct.pack("<I", all_items) + two)
    lone_cr = result_file(0).replace(b"\r\n", b"\r")
    write("run", "mode0_lone_cr", bytes([0]) + struct.pack("<I", all_items) + lone_cr)


def wildcard_seeds():
    pairs = [("Brawn_*.txt", "Brawn_001.txt"), ("IsoMetric_*.txt", "isometric_7.TXT"),
             ("*.t?t", "a.txt"), ("?", "名"), ("*名*", "患者名前.txt"), ("**a*b?", "xxaxbb"),
             ("Exercise_*.txt", "Exercise_.txt")]
    for i, (pattern, name) in enumerate(pairs):
        write("wildcard", f"pair{i}", pattern.encode() + b"\x00" + name.encode())


def conversions_seeds():
    texts = [b"9:05:07", b" 23:59 ", b"12:00 AM", b"1:2:3pm", sjis("午後 3:04:05"),
             sjis("午前12:00"), b"5", b" -12.5 ", b"32767.4", b"1e3", b".5", b"5.", b"+7E-2",
             b"abc", sjis("患者 3号")]
    for i, t in enumerate(texts):
        write("conversions", f"text{i}", t)


def ini_seeds():
    files = [
        b"[SYSTEM]\r\nMODE = 0\r\nOPTCODE = 15728891\r\n",
        b"[OTHER]\r\nMODE = 9\r\n\r\n[SYSTEM]\r\n  PATHX = 1\r\nPATH=2\r\nMODE\r\n[LAST]\r\nx\r\n",
        sjis("[SYSTEM]\r\nPATH = C:\\Kyrova\\BrawnResults    (筋力測定 )\r\n"),
        b"comment\r[ SYSTEM ]\r[system]\rOUTPUT =\r",
    ]
    for i, f in enumerate(files):
        # Input: key index, value length, value, then the file.
        value = b"  new value = x  "
        write("ini", f"file{i}", bytes([i % 5, len(value)]) + value + f)


def measurement_seeds():
    # Input: the mode, then one result file.
    for mode in range(4):
        write("measurement", f"mode{mode}", bytes([mode]) + result_file(mode))
        write("measurement", f"mode{mode}_no_turns", bytes([mode]) + result_file(mode, turns=0))
    write("measurement", "mode3_therapy_on_22",
          bytes([3]) + result_file(3, therapy_on_22=True))


if __name__ == "__main__":
    measurement_seeds()
    run_seeds()
    wildcard_seeds()
    conversions_seeds()
    ini_seeds()
