"""The one way the generator scripts put their block of lines into veldrix.dat.

A block runs from its BEGIN comment line to its END comment line and is
replaced whole on every run. A file without the block gets it before the line
that starts with `before` (when given and present), else at its end; with
`before_required`, a missing `before` line is an error. Lines end with CR LF,
as everywhere in the data file.
"""


def replace_block(data_file, lines, begin, end, before=None, before_required=False):
    with open(data_file, newline="") as f:
        text = f.read()
    generated = "\r\n".join(lines) + "\r\n"
    start = text.find(begin)
    if start >= 0:
        stop = text.index(end, start)
        stop = text.index("\n", stop) + 1
        text = text[:start] + generated + text[stop:]
    else:
        place = text.find(before) if before else -1
        if place < 0 and before_required:
            raise SystemExit("%s: no line %r to put the block before" % (data_file, before))
        if place >= 0:
            text = text[:place] + generated + "\r\n" + text[place:]
        else:
            text = text + "\r\n" + generated
    with open(data_file, "w", newline="") as f:
        f.write(text)
