#!/usr/bin/env python3
"""Reads an ar archive from its raw headers (not through ar(1)), refuses any
header ESXi's installer would not take (a GNU '/' name terminator, a name not
space padded, a bad terminator or size), writes each member into the current
directory and prints one line per member: name mtime uid gid mode size."""
import sys

data = open(sys.argv[1], 'rb').read()
if data[:8] != b'!<arch>\n':
    sys.exit('not an ar archive')
pos = 8
while pos < len(data):
    header = data[pos:pos + 60]
    if len(header) < 60 or header[58:60] != b'`\n':
        sys.exit(f'bad member header at offset {pos}')
    raw_name = header[:16].decode('ascii')
    name = raw_name.rstrip(' ')
    if not name or '/' in name or ' ' in name or len(raw_name) != 16:
        sys.exit(f'member name field {raw_name!r} is not a plain space-padded name')
    fields = [header[a:b].decode('ascii').rstrip(' ') for a, b in ((16, 28), (28, 34), (34, 40), (40, 48), (48, 58))]
    size = int(fields[4])
    body = data[pos + 60:pos + 60 + size]
    if len(body) != size:
        sys.exit(f'member {name} is cut short')
    open(name, 'wb').write(body)
    print(name, *fields)
    pos += 60 + size + (size & 1)
