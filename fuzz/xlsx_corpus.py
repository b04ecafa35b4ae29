#!/usr/bin/env python3
"""Writes the seeds of fuzz_xlsx into fuzz/corpus/xlsx/.

A tiny workbook and a tiny document as Office writes them (shared and inline
strings, numbering, a picture), and the broken ones a reader must refuse: a
cut-off container, a DTD, an entry that decompresses past the fuzz limits,
one shared string used by every row (past the text budget), a picture whose
bytes are a web page, and bytes that are no container at all.
"""
import io
import os
import zipfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "fuzz", "corpus", "xlsx")

REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
PKG = "http://schemas.openxmlformats.org/package/2006/relationships"
PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000a49444154789c63000100000500010d0a2db40000000049454e44ae426082")


def container(entries):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            # A fixed date, so that the seeds come out the same on every run.
            z.writestr(zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0)), data, zipfile.ZIP_DEFLATED)
    return buf.getvalue()


def xlsx(sheet_rows, extra=(), shared_extra=""):
    return container([
        ("_rels/.rels", f'<Relationships xmlns="{PKG}"><Relationship Id="r1" Type="{REL}/officeDocument" '
                        'Target="xl/workbook.xml"/></Relationships>'),
        ("xl/workbook.xml", f'<workbook xmlns="{MAIN}" xmlns:r="{REL}"><sheets>'
                            '<sheet name="题目" sheetId="1" r:id="rId1"/></sheets></workbook>'),
        ("xl/_rels/workbook.xml.rels", f'<Relationships xmlns="{PKG}">'
                                       f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>'
                                       f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>'
                                       '</Relationships>'),
        ("xl/sharedStrings.xml", f'<sst xmlns="{MAIN}"><si><t>题干</t></si>'
                                 '<si><r><rPr><b/></rPr><t>粗</t></r><r><t>体</t></r></si>' + shared_extra + '</sst>'),
        ("xl/worksheets/sheet1.xml", f'<worksheet xmlns="{MAIN}"><sheetData>{sheet_rows}</sheetData></worksheet>'),
        *extra,
    ])


def docx(picture=PNG):
    body = "".join([
        '<w:p><w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr></w:pPr>'
        '<w:r><w:t>题</w:t></w:r><w:r><w:rPr><w:vertAlign w:val="superscript"/></w:rPr><w:t>2</w:t></w:r></w:p>',
        '<w:p><w:pPr><w:numPr><w:ilvl w:val="1"/><w:numId w:val="1"/></w:numPr></w:pPr>'
        '<w:r><w:rPr><w:b/></w:rPr><w:t>选项</w:t></w:r><w:r><w:br/><w:tab/>'
        '<w:drawing><a:blip r:embed="rId9"/></w:drawing></w:r></w:p>',
        '<w:p/>',
    ])
    return container([
        ("word/document.xml", f'<w:document xmlns:w="{W}" xmlns:r="{REL}" '
                              'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
                              f'<w:body>{body}</w:body></w:document>'),
        ("word/numbering.xml", f'<w:numbering xmlns:w="{W}"><w:abstractNum w:abstractNumId="0">'
                               '<w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/><w:lvlText w:val="%1."/></w:lvl>'
                               '<w:lvl w:ilvl="1"><w:start w:val="1"/><w:numFmt w:val="upperLetter"/><w:lvlText w:val="%2、"/></w:lvl>'
                               '</w:abstractNum><w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num></w:numbering>'),
        ("word/_rels/document.xml.rels", f'<Relationships xmlns="{PKG}">'
                                         f'<Relationship Id="rId9" Type="{REL}/image" Target="media/image1.png"/>'
                                         '</Relationships>'),
        ("word/media/image1.png", picture),
    ])


def main():
    os.makedirs(OUT, exist_ok=True)
    rows = ('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="inlineStr"><is><t>内联</t></is></c>'
            '<c r="D1"><v>0.5</v></c></row><row r="3"><c r="B3" t="s"><v>1</v></c><c r="C3" t="b"><v>1</v></c></row>')
    good = xlsx(rows)
    seeds = {
        "tiny.xlsx": good,
        "tiny.docx": docx(),
        "cut.xlsx": good[: len(good) // 2],
        "bomb.xlsx": xlsx('<row r="1"><c r="A1"><v>1</v></c></row>' + " " * 400000),
        "junk.bin": b"PK\x03\x04\x14\x00\x00\x00\x08\x00" + bytes(range(256)),
    }
    header = '<row r="1"><c r="A1" t="inlineStr"><is><t>题干</t></is></c><c r="B1" t="inlineStr"><is><t>答案</t></is></c></row>'
    amplified = "".join(f'<row r="{n}"><c r="A{n}" t="s"><v>2</v></c><c r="B{n}" t="inlineStr"><is><t>A</t></is></c></row>'
                        for n in range(2, 40))
    seeds["shared.xlsx"] = xlsx(header + amplified, shared_extra="<si><t>" + "题" * 12000 + "</t></si>")
    seeds["html-picture.docx"] = docx(b"<html><script>alert(1)</script></html>")
    seeds["dtd.xlsx"] = container([
        ("xl/worksheets/sheet1.xml", '<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY a "aaaaaaaa">'
                                     '<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;">]><worksheet><sheetData><row r="1">'
                                     '<c r="A1" t="inlineStr"><is><t>&b;</t></is></c></row></sheetData></worksheet>'),
    ])
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
