"""The option pages of the sample market as the quotes web site writes them.

The program scans these pages with fixed text markers, so the markup below
is part of the contract: the single "<select name=" before the label
"Kies onderliggende waarde:", no value=" attribute after the select, the
price in the first "<td " cell after the option texts, three
"quoteLine bottomDivider"" lines with the first "</table>" after them ending
the option table, headings introduced by "col">", a date cell ending in
px;"> as the first cell of every row, the percentage class ten characters
into its cell's markup, the last cell's text on a line of its own, every row
ending in "</tr>" (of a page that broke off the program reads the rows up to
the last one), and CR LF line ends throughout. Pages are written in the Windows code page.
"""

import random

from market import HEADINGS

ENCODING = "cp1252"
CRLF = "\r\n"

SITE = "Koersplein"


def _head(title):
    return [
        '<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" '
        '"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">',
        '<html xmlns="http://www.w3.org/1999/xhtml" xml:lang="nl" lang="nl">',
        "<head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252" />',
        f"<title>{title} | {SITE}</title>",
        '<meta name="description" content="Actuele optiekoersen van Euronext Amsterdam: calls en puts per onderliggende waarde." />',
        '<link rel="stylesheet" type="text/css" href="/css/koersen.css?v=2013.03" />',
        '<link rel="stylesheet" type="text/css" media="print" href="/css/print.css" />',
        '<script type="text/javascript" src="/js/jquery-1.8.3.min.js"></script>',
        '<script type="text/javascript" src="/js/koersen.js?v=2013.03"></script>',
        "</head>",
        '<body class="opties">',
        '<div id="wrapper">',
        '<div id="header">',
        f'<div class="logo"><a href="/" title="{SITE}">{SITE}</a></div>',
        '<form id="zoeken" action="/zoeken/" method="get">',
        '<input type="text" name="q" value="" class="zoekveld" />',
        '<input type="submit" value="Zoek" class="knop" />',
        "</form>",
        '<ul id="menu">',
        '<li><a href="/">Home</a></li>',
        '<li><a href="/aandelen/">Aandelen</a></li>',
        '<li><a href="/indices/">Indices</a></li>',
        '<li class="actief"><a href="/derivaten/opties/">Opties</a></li>',
        '<li><a href="/derivaten/turbos/">Turbo\'s</a></li>',
        '<li><a href="/valuta/">Valuta</a></li>',
        '<li><a href="/nieuws/">Nieuws</a></li>',
        "</ul>",
        "</div>",
    ]


FOOTER = [
    '<div id="footer">',
    '<p class="bron">Koersen met minimaal 15 minuten vertraging. Bron: Euronext Amsterdam.</p>',
    f'<p class="disclaimer">{SITE} besteedt de grootst mogelijke zorg aan de juistheid van de',
    "getoonde koersen, maar aanvaardt geen aansprakelijkheid voor fouten of onvolledigheden.",
    "Beleggen brengt risico's met zich mee; lees voor het handelen in opties de risicowijzer.</p>",
    '<ul class="links">',
    '<li><a href="/over/">Over ons</a></li>',
    '<li><a href="/privacy/">Privacy</a></li>',
    '<li><a href="/contact/">Contact</a></li>',
    "</ul>",
    "</div>",
    "</div>",
    "</body>",
    "</html>",
]


def _selector(market, current, kind, withOptions):
    lines = [
        '<form id="fondskeuze" action="/derivaten/opties/" method="get">',
        '<label for="fonds">Kies onderliggende waarde:</label>',
        f'<select name="{kind}" id="fonds" onchange="this.form.submit()">',
    ]
    if withOptions:
        for u in market.underlyings:
            selected = ' selected="selected"' if u is current else ""
            lines.append(f'<option value="{u.code}"{selected}>{u.name}</option>')
    lines += ["</select>", '<button type="submit" class="knop">Toon</button>', "</form>"]
    return lines


def _quote_block(u, kind):
    other = "put" if kind == "call" else "call"
    expiries = " ".join(f'<a href="#{e:%Y%m%d}">{e:%m-%Y}</a>' for e in u.expiries)
    callClass = ' class="actief"' if kind == "call" else ""
    putClass = ' class="actief"' if kind == "put" else ""
    return [
        '<div class="quoteLine bottomDivider">',
        '<table class="fondskoers" cellspacing="0">',
        f'<tr><th class="naam"><a href="/aandelen/{u.ticker.lower()}/">{u.name}</a></th>'
        f'<td class="koers">{u.price_text}</td><td class="tijd">17:40</td>'
        '<td class="datum">08-03-2013</td></tr>',
        "</table>",
        "</div>",
        f'<div class="quoteLine bottomDivider"><span class="label">Expiraties:</span> {expiries}</div>',
        '<div class="quoteLine bottomDivider">'
        f'<a href="/derivaten/opties/?call={u.code}"{callClass}>Calls</a> | '
        f'<a href="/derivaten/opties/?put={u.code}"{putClass}>Puts</a>'
        f' <span class="hint">Klik op een serie voor het verloop; {other}s staan op de andere tab.</span></div>',
    ]


def _table_head():
    lines = ['<table class="optiekoersen" cellspacing="0" cellpadding="0">', "<thead>", "<tr>"]
    for i, heading in enumerate(HEADINGS):
        align = "l" if i < 2 else "r"
        lines.append(f'<th class="{align}" scope="col">{heading}</th>')
    return lines + ["</tr>", "</thead>", "<tbody>"]


def _row_lines(row, parity):
    c = row.cells
    return [
        f'<tr class="{parity}">',
        f'<td class="datum" style="width: 72px;">{c[0]}</td>',
        f'<td class="serie"><a href="{row.href}">{c[1]}</a></td>',
        f'<td class="r strike">{c[2]}</td>',
        f'<td class="r">{c[3]}</td>',
        f'<td class="r tijd">{c[4]}</td>',
        f'<td class="r {row.trend}">{c[5]}</td>',
        f'<td class="percentage"><span class="{row.trend}">{c[6]}</span></td>',
        f'<td class="r">{c[7]}</td>',
        f'<td class="r">{c[8]}</td>',
        f'<td class="r">{c[9]}</td>',
        f'<td class="r">{c[10]}</td>',
        f'<td class="r">{c[11]}</td>',
        '<td class="r last">',
        f"                {c[12]}",
        "</td>",
        "</tr>",
    ]


TABLE_END = ["</tbody>", "</table>"]


def _new_quote_block(u, kind):
    """The underlying's quote of a site laid out anew: no dividers."""
    return [
        '<section class="fondskoers">',
        f'<h2 class="naam">{u.name}</h2>',
        f'<span class="koers">{u.price_text}</span> <span class="tijd">17:40</span>',
        f'<nav class="tabs"><a href="/derivaten/opties/?call={u.code}">Calls</a>'
        f'<a href="/derivaten/opties/?put={u.code}">Puts</a></nav>',
        "</section>",
    ]


def _new_table_head():
    """An option table of a site laid out anew: rows of blocks, headings
    without the "col" scope, no table element."""
    lines = ['<div class="optieketen" role="table">', '<div class="kop" role="row">']
    lines += [f'<span role="columnheader">{heading}</span>' for heading in HEADINGS]
    return lines + ["</div>"]


def _new_row_lines(row, parity):
    cells = "".join(f'<span class="cel">{text}</span>' for text in row.cells)
    return [f'<div class="serie {parity}" role="row">{cells}</div>']


NEW_TABLE_END = ["</div>"]

# The page variants of the fault modes that lay a page out otherwise.
LAYOUTS = ("empty-list", "wrong-order", "new-layout")


def layout_page(market, u, kind, variant):
    """The page of a fault mode that lays it out otherwise (LAYOUTS), or
    the site's own page for None."""
    return option_page(market, u, kind, withOptions=variant != "empty-list",
                       markersReversed=variant == "wrong-order", newLayout=variant == "new-layout")


def option_page(market, u, kind, withOptions=True, markersReversed=False, newLayout=False):
    """The call or put page of underlying u; with newLayout in the markup
    of a site laid out anew: the same selection, the quote and the option
    table in markup of their own.

    Returns (body, rowEnds): the page's bytes and, for each table row, the
    offset just past that row's last line, where a page may be cut without
    splitting a row.
    """
    title = f"Opties {u.name} - {'Calls' if kind == 'call' else 'Puts'}"
    top = _head(title) + [
        '<div id="content">',
        f"<h1>{title}</h1>",
        '<p class="kruimelpad"><a href="/">Home</a> &gt; <a href="/derivaten/">Derivaten</a> &gt; Opties</p>',
    ]
    selector = _selector(market, u, kind, withOptions)
    quote = (_new_quote_block if newLayout else _quote_block)(u, kind)
    table = _new_table_head() if newLayout else _table_head()
    rowLines = _new_row_lines if newLayout else _row_lines
    if markersReversed:
        # The layout of a redesigned site: the option table first, the
        # selection and the underlying's quote after it.
        top += table
    else:
        top += selector + quote + table
    chunks = [CRLF.join(top).encode(ENCODING) + CRLF.encode()]
    rowEnds = []
    offset = len(chunks[0])
    for i, row in enumerate(u.rows(kind)):
        data = (CRLF.join(rowLines(row, "even" if i % 2 else "odd")) + CRLF).encode(ENCODING)
        chunks.append(data)
        offset += len(data)
        rowEnds.append(offset)
    bottom = ((NEW_TABLE_END if newLayout else TABLE_END) + (selector + quote if markersReversed else [])
              + ["</div>"] + FOOTER)
    chunks.append((CRLF.join(bottom) + CRLF).encode(ENCODING))
    return b"".join(chunks), rowEnds


def unavailable_page(market, u, kind):
    """The site's own page while its quotes are being refreshed, sent with
    status 503: every marker of an option page, an option table without
    rows, a notice instead."""
    title = f"Opties {u.name} - {'Calls' if kind == 'call' else 'Puts'}"
    lines = (_head(title) + ['<div id="content">', f"<h1>{title}</h1>"]
             + _selector(market, u, kind, True) + _quote_block(u, kind) + _table_head()
             + ['<tr><td class="melding" colspan="13">De optiekoersen worden ververst. '
                "Probeer het over enkele minuten opnieuw.</td></tr>"]
             + TABLE_END + ["</div>"] + FOOTER)
    return (CRLF.join(lines) + CRLF).encode(ENCODING)


def log_in_page():
    """What a hotel's network answers for any address until the guest logs
    in: status 200, several KB, a form full of value attributes, no option
    table."""
    lines = [
        "<!DOCTYPE html>",
        '<html lang="nl"><head><meta charset="windows-1252" /><title>Welkom bij Hotel De Wadden</title>',
        '<style type="text/css">body { font-family: sans-serif; } td { padding: 4px; }</style></head>',
        "<body><h1>Welkom bij Hotel De Wadden</h1>",
        "<p>Log in met uw kamernummer en achternaam om gebruik te maken van het gratis draadloze netwerk.</p>",
        '<form method="post" action="/login">',
        '<select name="taal"><option value="nl">Nederlands</option><option value="en">English</option>'
        '<option value="de">Deutsch</option></select>',
        '<table><tr><td class="label">Kamernummer</td><td><input type="text" name="kamer" value="" /></td></tr>',
        '<tr><td class="label">Achternaam</td><td><input type="text" name="naam" value="" /></td></tr></table>',
        '<input type="hidden" name="bestemming" value="http://www.example.nl/" />',
        '<input type="submit" value="Inloggen" /></form>',
    ]
    lines += [f"<p>Voorwaarde {i}: het netwerk is bestemd voor gasten van het hotel; het hotel is niet "
              "aansprakelijk voor verloren gegevens of onderbroken verbindingen.</p>" for i in range(1, 31)]
    lines += ["</body></html>"]
    return (CRLF.join(lines) + CRLF).encode(ENCODING)


def short_page(message):
    """A page well under the scanner's 1000 characters."""
    text = CRLF.join(["<html>", f"<head><title>{SITE}</title></head>",
                      f"<body><p>{message}</p></body>", "</html>"]) + CRLF
    return text.encode(ENCODING)


def garbage(size=8192, seed="garbage"):
    return random.Random(seed).randbytes(size)


def padding(size):
    """Harmless filler of exactly size bytes for the huge and endless pages."""
    line = b"<!-- " + b"=" * 90 + b" -->\r\n"
    whole, rest = divmod(size, len(line))
    return line * whole + b" " * rest
