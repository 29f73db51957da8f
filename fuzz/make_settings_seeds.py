#!/usr/bin/env python3
"""Writes the settings reader's seed corpus: ONDREL.INI files of our own."""
import os
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
seeds = {
    "window_mode.ini": "[Video]\r\n16BPP=0\r\n[Splash]\r\nNoSplash=1\r\n",
    "every_key.ini": "[Video]\r\nDevice=Primary Display Driver\r\nNoGammaControl=0\r\nGammaBase=-20\r\n"
                     "512x384=640x480\r\n640x400=640x480\r\n640x480=800x600\r\n800x600=1024x768\r\n"
                     "1024x768=1280x1024\r\n16BPP=32\r\n24BPP=24\r\nNoFog=1\r\nScaleFix=1\r\nNoVsync=1\r\n"
                     "Stereo=0\r\nSoftwareEmulation=1\r\nUVFix=0\r\n[Splash]\r\nNoSplash=0\r\nNoSound=1\r\n"
                     "[Texture]\r\nReduceMemory=3\r\n",
    "odd_values.ini": "[video]\n gammabase = 99999999999\n640x480 = x480\n800x600=\"0x0\"\n[TEXTURE]\nReduceMemory=-7\n",
}
for name, text in seeds.items():
    with open(os.path.join(out, name), "w", newline="") as f:
        f.write(text)
