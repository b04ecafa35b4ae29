#!/bin/sh
# Remakes the files saved by LibreOffice (7.4, Debian 12) from the sources here:
#   sheet.csv      -> sheet.xlsx, sheet.xls, sheet.ods      (columns 序号/题目/A–D/正确答案/解析)
#   numbered.html  -> numbered.docx, numbered.doc           (automatic numbering of questions and options)
#   paper.html     -> paper.docx, paper.pdf                 (parts, a figure, a material group, answers at the end)
#   scan.html      -> scan.pdf                              (a page that is only a picture, as a scan is)
#   twocol.html    -> twocol.pdf                            (three pages of two columns, a running head, page numbers)
#   photo.html     -> photo.pdf                             (a JPEG picture between a stem and its options)
#   marks.fodt     -> marks.docx                            (a field, a tracked deletion, a no-break hyphen, a tab, a line break)
# photo.jpg: convert -size 200x120 gradient:blue-yellow -quality 85 photo.jpg
# figure.png was drawn with ImageMagick:
#   convert -size 240x80 xc:white -stroke black -strokewidth 2 -fill none \
#     -draw "circle 40,40 40,15" -draw "rectangle 95,15 145,65" -draw "polygon 200,15 225,65 175,65" figure.png
set -e
cd "$(dirname "$0")"
soffice="soffice --headless --norestore"
for f in xlsx xls ods; do $soffice --infilter="CSV:44,34,76,1" --convert-to $f sheet.csv >/dev/null; done
$soffice --infilter="HTML (StarWriter)" --convert-to docx numbered.html >/dev/null
$soffice --convert-to docx marks.fodt >/dev/null
$soffice --infilter="HTML (StarWriter)" --convert-to doc numbered.html >/dev/null
# The figure goes in as a data: address, so that the documents embed it.
tmp=$(mktemp -d)
sed "s|src=\"figure.png\"|src=\"data:image/png;base64,$(base64 -w0 figure.png)\"|" paper.html > "$tmp/paper.html"
$soffice --infilter="HTML (StarWriter)" --convert-to docx --outdir . "$tmp/paper.html" >/dev/null
$soffice --infilter="HTML (StarWriter)" --convert-to pdf:writer_pdf_Export --outdir . "$tmp/paper.html" >/dev/null
sed "s|src=\"figure.png\"|src=\"data:image/png;base64,$(base64 -w0 figure.png)\"|" scan.html > "$tmp/scan.html"
$soffice --infilter="HTML (StarWriter)" --convert-to pdf:writer_pdf_Export --outdir . "$tmp/scan.html" >/dev/null
$soffice --infilter="HTML (StarWriter)" --convert-to pdf:writer_pdf_Export twocol.html >/dev/null
sed "s|src=\"photo.jpg\"|src=\"data:image/jpeg;base64,$(base64 -w0 photo.jpg)\"|" photo.html > "$tmp/photo.html"
$soffice --infilter="HTML (StarWriter)" --convert-to pdf:writer_pdf_Export --outdir . "$tmp/photo.html" >/dev/null
rm -rf "$tmp"
