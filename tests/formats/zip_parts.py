#!/usr/bin/python3
# Zips parts written by a test with Python's own zipfile. Usage: zip_parts.py LAYOUT OUT
# LAYOUT: JSON {"parts": [[name, base64 content], ...], "sizeDelta": {name: n}}; an entry
# named in sizeDelta declares n bytes more (or fewer) than it inflates to, in both its
# local header and the central directory.
import base64
import json
import struct
import sys
import zipfile

layout = json.load(open(sys.argv[1]))
target = sys.argv[2]
with zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as out:
    for name, content in layout['parts']:
        out.writestr(name, base64.b64decode(content))

deltas = layout.get('sizeDelta', {})
if deltas:
    data = bytearray(open(target, 'rb').read())
    end = data.rfind(b'PK\x05\x06')
    count, _, directory = struct.unpack_from('<HII', data, end + 10)
    at = directory
    for _ in range(count):
        name_length, extra_length, comment_length = struct.unpack_from('<HHH', data, at + 28)
        local = struct.unpack_from('<I', data, at + 42)[0]
        name = data[at + 46:at + 46 + name_length].decode()
        if name in deltas:
            for size_at in (at + 24, local + 22):
                size = struct.unpack_from('<I', data, size_at)[0]
                struct.pack_into('<I', data, size_at, size + deltas[name])
        at += 46 + name_length + extra_length + comment_length
    open(target, 'wb').write(bytes(data))
