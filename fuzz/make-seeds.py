#!/usr/bin/env python3
"""Writes the seed corpora of fuzz/corpus/ from the samples of the repository.

Run from the repository root after a build (it uses build/bin/quarmelctl for the encrypted forms and the
table file): python3 fuzz/make-seeds.py. The corpora are committed; this only remakes them.
"""
import os
import struct
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLES = os.path.join(ROOT, 'tools', 'station-sim', 'samples')
CTL = os.path.join(ROOT, 'build', 'bin', 'quarmelctl')
CORPUS = os.path.join(ROOT, 'fuzz', 'corpus')


def crc(data):
    value = 0xFFFF
    for byte in data:
        value ^= byte
        for _ in range(8):
            value = (value >> 1) ^ 0x8408 if value & 1 else value >> 1
    return (~value) & 0xFFFF


def stuff(data):
    out = bytearray()
    for byte in data:
        if byte == 0xC0:
            out += b'\x7d\xe0'
        elif byte == 0xC1:
            out += b'\x7d\xe1'
        elif byte == 0x7D:
            out += b'\x7d\x5d'
        else:
            out.append(byte)
    return bytes(out)


def raw_frame(body):
    """The stuffed bytes between start and end byte."""
    value = crc(body)
    return stuff(body + bytes([value >> 8, value & 0xFF]))


def frame(body):
    return b'\xc0' + raw_frame(body) + b'\xc1'


def header(command, address):
    return bytes([0x01, 0x80, command, 0, 0, address >> 8, address & 0xFF, 128])


def split_ean(ean):
    lead, last = ean[:-4], ean[-4:]
    return (int(lead) if lead.isdigit() else 0), (int(last) if last.isdigit() else 0)


def bottle_record(ean, name, volume, full, empty):
    lead, last = split_ean(ean)
    name_bytes = name.encode('latin-1', 'replace')[:15].ljust(15, b'\0')
    return struct.pack('<IH', lead, last) + name_bytes + struct.pack('<HHH', volume, empty, full) + b'\0' * 5


def inventory_record(ean, weight):
    lead, last = split_ean(ean)
    return struct.pack('<HIH', weight & 0xFFFF, lead, last)


def read_csv(path):
    rows = []
    with open(path, encoding='utf-8') as f:
        for line in f:
            fields = line.rstrip('\r\n').split(';')
            if len(fields) == 6:
                rows.append(fields)
    return rows


def read_weighings(path):
    rows = []
    with open(path, encoding='utf-8') as f:
        for line in f:
            fields = line.strip().split(';')
            if len(fields) == 2:
                rows.append((fields[0], int(fields[1])))
    return rows


def blocks(records, start):
    data = b''.join(records) + b'\0' * 32
    data += b'\0' * (-len(data) % 128)
    return [(start + i, data[i:i + 128]) for i in range(0, len(data), 128)]


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def ctl(*args):
    subprocess.run([CTL] + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    catalogue = read_csv(os.path.join(SAMPLES, 'catalogue.csv'))
    bottles = [bottle_record(r[0], r[2], int(r[3]), int(r[4]), int(r[5])) for r in catalogue]
    database = [(a, header(0x71, a) + d) for a, d in blocks(bottles, 0)]
    inventories = []
    for slot in range(3):
        weighings = read_weighings(os.path.join(SAMPLES, 'inventory%d.txt' % slot))
        records = [inventory_record(e, w) for e, w in weighings]
        inventories.append([(a, header(0x71, a) + d) for a, d in blocks(records, 48000 + 4000 * slot)])
    version = header(0x21, 16) + b'May  7 2013\0\0\0\0\0' + b'17:02:00' + b'\0' * 104
    number = header(0x71, 60000) + bytes([2]) + b'\0' * 127

    # Frames: single answers, good and broken.
    for i, (_, body) in enumerate(database[:4]):
        write('fuzz_frame', 'database-%d' % i, raw_frame(body))
    for slot, answers in enumerate(inventories):
        for i, (_, body) in enumerate(answers[:3]):
            write('fuzz_frame', 'inventory%d-%d' % (slot, i), raw_frame(body))
    write('fuzz_frame', 'version', raw_frame(version))
    write('fuzz_frame', 'inventory-number', raw_frame(number))
    write('fuzz_frame', 'write-ack', raw_frame(header(0x70, 0)))
    good = raw_frame(inventories[0][0][1])
    write('fuzz_frame', 'bad-checksum', good[:-1] + bytes([good[-1] ^ 1]))
    write('fuzz_frame', 'broken-escape', good[:20] + b'\x7d\x11' + good[20:])
    write('fuzz_frame', 'escapes', raw_frame(header(0x71, 0) + bytes([0xC0, 0xC1, 0x7D] * 42 + [0, 0])))
    write('fuzz_frame', 'too-short', good[:9])

    # Link: a selector byte (transfer + 5 * slot), then the station's answers of a whole transfer.
    write('fuzz_link', 'read-database', b'\x00' + b''.join(frame(b) for _, b in database))
    for slot, answers in enumerate(inventories):
        stream = b''.join(frame(b) for _, b in answers)
        write('fuzz_link', 'read-inventory%d' % slot, bytes([1 + 5 * slot]) + stream)
    write('fuzz_link', 'inventory-number', b'\x02' + frame(number))
    write('fuzz_link', 'version', b'\x03' + frame(version))
    write('fuzz_link', 'write-database', b'\x04' + b''.join(frame(header(0x70, a)) for a in (0, 128)))
    answers = inventories[0]
    first = frame(answers[0][1])
    write('fuzz_link', 'noise-and-repeat', b'\x01' + b'\xc1junk' + first + first
          + b''.join(frame(b) for _, b in answers[1:]))
    bad = bytearray(frame(answers[0][1]))
    bad[-2] ^= 0x55
    write('fuzz_link', 'corrupt-then-good', b'\x01' + bytes(bad) + b''.join(frame(b) for _, b in answers))
    write('fuzz_link', 'cut-short', b'\x01' + frame(answers[0][1])[:40] + frame(answers[0][1]))

    with tempfile.TemporaryDirectory() as tmp:
        # Catalogue documents: the program's own, and forms only the general reader takes.
        xml = os.path.join(tmp, 'catalogue.xml')
        ctl('catalogue', 'import-csv', os.path.join(SAMPLES, 'catalogue.csv'), xml)
        own = open(xml, 'rb').read()
        write('fuzz_catalogue', 'samples', own)
        ctl('catalogue', 'import-csv', os.path.join(ROOT, 'app', 'demo', 'update.csv'), xml)
        update = open(xml, 'rb').read()
        write('fuzz_catalogue', 'update', update)
        write('fuzz_catalogue', 'empty', b'<?xml version="1.0" encoding="UTF-8"?>\n<data/>\n')
        item = (b'<dataItem><ean>8591000000005</ean><nazev>Vodka &amp; co</nazev><oznaceni>V</oznaceni>'
                b'<objem>700</objem><vahaPrazdneLahve>520</vahaPrazdneLahve>'
                b'<vahaPlneLahve>1186</vahaPlneLahve>'
                b'<vahaObsahu>0</vahaObsahu><korekce>-15</korekce><vybrat>1</vybrat>'
                b'<upraveno>2013-05-07 09:05:00</upraveno><vlozeno>2013-05-07 09:05:00</vlozeno></dataItem>')
        write('fuzz_catalogue', 'one-item', b'<data>' + item + b'</data>')
        write('fuzz_catalogue', 'nested', b'<root><g>' + item + b'</g><x/></root>')
        write('fuzz_catalogue', 'unknown-element', b'<data><dataItem><ean>1</ean><barva>h</barva>'
              b'<objem>1</objem></dataItem></data>')
        write('fuzz_catalogue', 'out-of-range', b'<data><dataItem><ean>1</ean><objem>4294967295</objem>'
              b'<korekce>-2147483648</korekce><vahaPlneLahve>65536</vahaPlneLahve></dataItem></data>')
        write('fuzz_catalogue', 'references', b'<data><dataItem><ean>&#56;&#x35;</ean><nazev><![CDATA[a<b]]>'
              b'</nazev><!-- c --><objem> 700 </objem></dataItem></data>')
        write('fuzz_catalogue', 'cut-short', own[:len(own) // 2])
        write('fuzz_catalogue', 'crlf', own.replace(b'\n', b'\r\n'))

        # CSV imports.
        write('fuzz_csv', 'samples', open(os.path.join(SAMPLES, 'catalogue.csv'), 'rb').read())
        write('fuzz_csv', 'update', open(os.path.join(ROOT, 'app', 'demo', 'update.csv'), 'rb').read())
        write('fuzz_csv', 'odd-lines', b'ean;name;short;volume;full;empty\r\n1;a;b;-1;x;65536\n'
              b'2;a;b;1;2\r3;F;\xc5\xbdlut\xc3\xbd \xc4\x8dajov\xc3\xbd lik\xc3\xa9r;1;2;3\r\n')

        # Encrypted forms: a selector byte (0 container, 1 hex text), then the bytes.
        for name, data in (('samples', own), ('short', b'abc'), ('block', b'0123456789abcdef')):
            plain = os.path.join(tmp, 'plain')
            open(plain, 'wb').write(data)
            ctl('catalogue', 'encrypt', plain, os.path.join(tmp, 'enc'))
            ctl('catalogue', 'encrypt-hex', plain, os.path.join(tmp, 'hex'))
            enc = open(os.path.join(tmp, 'enc'), 'rb').read()
            write('fuzz_cipher', 'container-' + name, b'\x00' + enc)
            write('fuzz_cipher', 'hex-' + name, b'\x01' + open(os.path.join(tmp, 'hex'), 'rb').read())
        write('fuzz_cipher', 'container-cut', b'\x00' + enc[:40])
        write('fuzz_cipher', 'hex-odd', b'\x01' + b'a\n' + open(os.path.join(tmp, 'hex'), 'rb').read()[:33])

        # Table files and overview files.
        weighings = os.path.join(SAMPLES, 'inventory0.txt')
        table = os.path.join(tmp, 'table.inv')
        ctl('takings', os.path.join(SAMPLES, 'catalogue.csv'), weighings,
            '--prices', os.path.join(ROOT, 'docs', 'examples', 'prices.txt'),
            '--stock', os.path.join(ROOT, 'docs', 'examples', 'stock.txt'), '--save', table)
        saved = open(table, 'rb').read()
        write('fuzz_tables', 'table', saved)
        items = (b'<item><name>Tonic 0.25</name><sellUnit>1</sellUnit><pricePerUnit>12345.67</pricePerUnit>'
                 b'<initialQuantity>10</initialQuantity><fromStock>24</fromStock>'
                 b'<finalQuantity>7.5</finalQuantity>'
                 b'<soldQuantity>26.5</soldQuantity><totalAmount>1060</totalAmount></item>')
        write('fuzz_tables', 'table-with-items', saved.replace(b'</inventory>', items + b'\n</inventory>'))
        write('fuzz_tables', 'overview', b'<?xml version="1.0" encoding="UTF-8"?>\n<inventoryOverview>\n'
              b'<time>2024-03-01 23:15:00</time>\n<bottle ean="8592508053241"><name>Rum</name>'
              b'<measuredValue>1000</measuredValue><weight>1545</weight><volume>1000</volume></bottle>\n'
              b'<bottle ean="0590000342304"><name>Vodka &amp; co</name><measuredValue>75</measuredValue>'
              b'<weight>708</weight><volume>700</volume></bottle>\n</inventoryOverview>\n')
        write('fuzz_tables', 'unknown-element', b'<inventory><counter>3</counter><bottle ean="1"><weight>5'
              b'</weight></bottle></inventory>')


if __name__ == '__main__':
    main()
