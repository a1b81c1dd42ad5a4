"""The sample options market behind the local quotes web server.

market.json names the underlyings, their prices, strike ranges and
expiries; the quotes of every series are generated from it with a seed
made of the underlying's code and the kind, so every start of the server
(and the expected-file generator) sees exactly the same market.
"""

import datetime
import json
import math
import os
import random

MARKET_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "market.json")

# The day the sample quotes were "taken": a Friday.
MARKET_DATE = datetime.date(2013, 3, 8)

# Column headings of the option table in page order. The seventh holds a
# no-break space (0xA0 in the Windows code page) as its fourth character.
HEADINGS = ["Expiratie", "Serie", "Uitoefenprijs", "Laatst", "Tijd", "Verschil",
            "+/-\u00a0%", "Bied", "Laat", "Hoog", "Laag", "Volume", "Open int."]

# The site writes expiry dates in more than one form.
DATE_FORMS = ["{d}-{m}-{yy}", "{dd}-{mm}-{yyyy}", "{d}-{m}-{yyyy}", "{dd}-{mm}-{yy}"]

MONTHS = ["JAN", "FEB", "MRT", "APR", "MEI", "JUN", "JUL", "AUG", "SEP", "OKT", "NOV", "DEC"]

KINDS = ("call", "put")


def decimal_text(value, decimals=2):
    """A number as the site writes it: comma decimals, dots between thousands."""
    text = f"{abs(value):,.{decimals}f}".replace(",", "_").replace(".", ",").replace("_", ".")
    return "-" + text if value < 0 and text.strip("0,.") else text


def count_text(value):
    return f"{value:,d}".replace(",", ".")


def signed_text(value, decimals=2, suffix=""):
    text = decimal_text(value, decimals)
    if text.startswith("-") or not text.strip("0,."):
        return text + suffix
    return "+" + text + suffix


class Row:
    """One option series as its table row shows it.

    cells: the thirteen cell texts in page order (the series cell is the
    link text, which the scanner never sees because it sits inside a link).
    expiry: the expiry date; href: the series link.
    """

    def __init__(self, expiry, cells, href, trend):
        self.expiry = expiry
        self.cells = cells
        self.href = href
        self.trend = trend


class Underlying:
    def __init__(self, index, entry, expiries):
        self.index = index
        self.code = entry["code"]
        self.name = entry["name"]
        self.price = float(entry["price"])
        low, high, step = entry["strikes"]
        count = int(round((high - low) / step)) + 1
        self.strikes = [round(low + i * step, 2) for i in range(count)]
        self.expiries = [expiries[i] for i in entry["expiries"]]
        self._rows = {}

    @property
    def ticker(self):
        return self.code.split(".")[0]

    @property
    def price_text(self):
        return decimal_text(self.price, 3 if self.price < 10 else 2)

    def date_text(self, expiry_index, expiry):
        form = DATE_FORMS[(self.index + expiry_index) % len(DATE_FORMS)]
        return form.format(d=expiry.day, m=expiry.month, dd=f"{expiry.day:02d}",
                           mm=f"{expiry.month:02d}", yy=f"{expiry.year % 100:02d}",
                           yyyy=f"{expiry.year:04d}")

    def rows(self, kind):
        if kind not in self._rows:
            self._rows[kind] = self._generate(kind)
        return self._rows[kind]

    def _generate(self, kind):
        # A string seed is hashed with SHA-512, so it does not depend on
        # PYTHONHASHSEED: the same rows on every start.
        rng = random.Random(f"{self.code}/{kind}")
        volatility = 0.18 if self.ticker == "AEX" else 0.25 + 0.2 * random.Random(self.code).random()
        rows = []
        for expiryIndex, expiry in enumerate(self.expiries):
            years = max((expiry - MARKET_DATE).days, 1) / 365.0
            for strike in self.strikes:
                rows.append(self._row(rng, kind, expiryIndex, expiry, years, strike, volatility))
        return rows

    def _row(self, rng, kind, expiryIndex, expiry, years, strike, volatility):
        spot = self.price
        spread = volatility * math.sqrt(years)
        d1 = (math.log(spot / strike) + 0.5 * spread * spread) / spread
        d2 = d1 - spread
        normal = lambda x: 0.5 * (1.0 + math.erf(x / math.sqrt(2.0)))
        if kind == "call":
            value = spot * normal(d1) - strike * normal(d2)
        else:
            value = strike * normal(-d2) - spot * normal(-d1)
        value = max(value, 0.01)
        tick = 0.05 if value >= 5 else 0.01
        bid = max(math.floor((value * 0.98 - tick) / tick) * tick, 0.0)
        ask = math.ceil((value * 1.02 + tick) / tick) * tick
        moneyness = abs(math.log(spot / strike))
        traded = rng.random() < max(0.15, 0.9 - 4 * moneyness - 0.1 * years)
        if traded:
            last = max(round(value * (1 + rng.uniform(-0.03, 0.03)), 2), 0.01)
            change = round(last * rng.uniform(-0.2, 0.2), 2)
            previous = last - change
            percent = change / previous * 100 if previous > 0 else 0.0
            high = round(last * (1 + rng.uniform(0, 0.06)), 2)
            low = round(max(last * (1 - rng.uniform(0, 0.06)), 0.01), 2)
            volume = rng.randint(1, 2500) if moneyness < 0.15 else rng.randint(1, 150)
            minute = rng.randint(9 * 60 + 1, 17 * 60 + 29)
            lastText, timeText = decimal_text(last), f"{minute // 60:02d}:{minute % 60:02d}"
            changeText, percentText = signed_text(change), signed_text(percent, 2, "%")
            highText, lowText, volumeText = decimal_text(high), decimal_text(low), count_text(volume)
            trend = "up" if change > 0 else "down" if change < 0 else "unchanged"
        else:
            lastText = timeText = changeText = percentText = highText = lowText = ""
            volumeText = "0"
            trend = "unchanged"
        openInterest = rng.randint(0, 60000) if rng.random() < 0.85 else 0
        strikeText = decimal_text(strike)
        letter = "C" if kind == "call" else "P"
        series = f"{self.ticker} {MONTHS[expiry.month - 1]}{expiry.year % 100:02d} {strikeText} {letter}"
        href = f"/derivaten/opties/serie/?id={self.code}-{letter}-{expiry:%Y%m%d}-{strikeText}"
        cells = [self.date_text(expiryIndex, expiry), series, strikeText, lastText, timeText,
                 changeText, percentText, decimal_text(bid), decimal_text(ask), highText,
                 lowText, volumeText, count_text(openInterest)]
        return Row(expiry, cells, href, trend)


class Market:
    def __init__(self, path=MARKET_FILE):
        with open(path, encoding="utf-8") as stream:
            definition = json.load(stream)
        expiries = [datetime.date.fromisoformat(text) for text in definition["expiries"]]
        self.underlyings = [Underlying(i, entry, expiries)
                            for i, entry in enumerate(definition["underlyings"])]
        self._byCode = {u.code: u for u in self.underlyings}

    def find(self, code):
        return self._byCode.get(code)

    @property
    def list_code(self):
        return self.underlyings[0].code
