"""Writes a flat OpenDocument spreadsheet (.fods) and has LibreOffice save it
as an Excel 97-2003 workbook (.xls), an Excel workbook (.xlsx) or an
OpenDocument spreadsheet (.ods), so that the workbook, with its formula
results, is written by a real spreadsheet program.

A cell is one of:
  None                  empty
  "text"                text
  12 / 12.5             number
  ("n", 1234.5)         number shown with thousands separators and 2 decimals
  ("d", "2009-04-01")   date (or "2009-04-01T10:30:00" for date and time)
  ("f", "=[.A2]*2")     formula in OpenFormula syntax, computed by LibreOffice
  ("fd", "=DATE(2010;5;6)")  formula shown as a date
  ("b", True)           boolean
  ("t", "10:30:00")     time of day
  ("p", 0.125)          percentage
  ("c", 12.5)           currency
  ("x", "<table:table-cell ...>...</table:table-cell>")  the cell's XML as given
"""
import os
import shutil
import subprocess
import tempfile
from xml.sax.saxutils import escape, quoteattr

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 xmlns:xlink="http://www.w3.org/1999/xlink" xmlns:dc="http://purl.org/dc/elements/1.1/"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:number-style style:name="N1"><number:number number:decimal-places="2"
  number:min-integer-digits="1" number:grouping="true"/></number:number-style>
 <number:date-style style:name="D1"><number:year number:style="long"/><number:text>-</number:text>
  <number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/>
 </number:date-style>
 <number:date-style style:name="D2"><number:year number:style="long"/><number:text>-</number:text>
  <number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/>
  <number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text>
  <number:minutes number:style="long"/></number:date-style>
 <number:time-style style:name="T1"><number:hours number:style="long"/><number:text>:</number:text>
  <number:minutes number:style="long"/><number:text>:</number:text>
  <number:seconds number:style="long"/></number:time-style>
 <number:percentage-style style:name="P1"><number:number number:decimal-places="1"
  number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
 <number:currency-style style:name="C1"><number:currency-symbol>$</number:currency-symbol>
  <number:number number:decimal-places="2" number:min-integer-digits="1"/></number:currency-style>
 <style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>
 <style:style style:name="ce2" style:family="table-cell" style:data-style-name="D1"/>
 <style:style style:name="ce3" style:family="table-cell" style:data-style-name="D2"/>
 <style:style style:name="ce4" style:family="table-cell" style:data-style-name="T1"/>
 <style:style style:name="ce5" style:family="table-cell" style:data-style-name="P1"/>
 <style:style style:name="ce6" style:family="table-cell" style:data-style-name="C1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
"""
TAIL = "</office:spreadsheet></office:body></office:document>\n"


def cell(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, bool):
        return cell(("b", value))
    if isinstance(value, (int, float)):
        return '<table:table-cell office:value-type="float" office:value="%r"/>' % value
    if isinstance(value, str):
        return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                "</table:table-cell>" % escape(value).replace("  ", " <text:s/>"))
    kind, v = value
    if kind == "n":
        return ('<table:table-cell table:style-name="ce1" office:value-type="float" '
                'office:value="%r"/>' % v)
    if kind == "d":
        style = "ce3" if "T" in v else "ce2"
        return ('<table:table-cell table:style-name="%s" office:value-type="date" '
                'office:date-value="%s"/>' % (style, v))
    if kind == "f":
        return "<table:table-cell table:formula=%s/>" % quoteattr("of:" + v)
    if kind == "fd":
        return '<table:table-cell table:style-name="ce2" table:formula=%s/>' % quoteattr("of:" + v)
    if kind == "b":
        return ('<table:table-cell office:value-type="boolean" office:boolean-value="%s"/>'
                % ("true" if v else "false"))
    if kind == "t":
        h, m, sec = v.split(":")
        return ('<table:table-cell table:style-name="ce4" office:value-type="time" '
                'office:time-value="PT%sH%sM%sS"/>' % (h, m, sec))
    if kind == "p":
        return ('<table:table-cell table:style-name="ce5" office:value-type="percentage" '
                'office:value="%r"/>' % v)
    if kind == "c":
        return ('<table:table-cell table:style-name="ce6" office:value-type="currency" '
                'office:currency="USD" office:value="%r"/>' % v)
    if kind == "x":
        return v
    raise ValueError(kind)


FILTERS = {
    ".xls": "xls:MS Excel 97",
    ".xlsx": "xlsx:Calc MS Excel 2007 XML",
    ".ods": "ods:calc8",
}


def write_xls(path, sheets):
    """sheets: list of (name, rows); rows: list of lists of cells."""
    write(path, sheets)


def write(path, sheets):
    """Saves the workbook in the format that the path's extension names.
    sheets: list of (name, rows); rows: list of lists of cells."""
    ext = os.path.splitext(path)[1]
    body = []
    for name, rows in sheets:
        body.append("<table:table table:name=%s>" % quoteattr(name))
        for row in rows:
            body.append("<table:table-row>" + "".join(cell(c) for c in row) + "</table:table-row>")
        body.append("</table:table>")
    work = tempfile.mkdtemp()
    try:
        src = os.path.join(work, "book.fods")
        with open(src, "w", encoding="utf-8") as f:
            f.write(HEAD + "\n".join(body) + TAIL)
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                        "--convert-to", FILTERS[ext], "--outdir", work, src],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.copy(os.path.join(work, "book" + ext), path)
    finally:
        shutil.rmtree(work)
