#!/usr/bin/env python3
"""Writes the five document templates into this folder.

The templates are checked in; run this after changing their wording or layout:
    python3 templates/make_templates.py

Each template is cp1251 RTF. The bookmarks are where the program writes its
values; their names are fixed, everything else is ours. Values are filled in
regular type: the program makes every value but the last one of a document
bold.
"""

from pathlib import Path

TEXT_WIDTH = 9638  # A4, margins 2.5 cm and 1.5 cm, twips
TIMES, COURIER = 0, 1

HEADER = (
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049\deftab709\uc1"
    "\n"
    r"{\fonttbl{\f0\froman\fcharset204 Times New Roman;}{\f1\fmodern\fcharset204 Courier New;}}"
    "\n"
    r"\paperw11906\paperh16838\margl1418\margr850\margt1134\margb1134\widowctrl"
    "\n"
    r"\sectd\pgwsxn11906\pghsxn16838\marglsxn1418\margrsxn850\margtsxn1134\margbsxn1134"
    "\n"
)


def esc(text):
    """Text as RTF: markup characters escaped, Cyrillic as \\'xx of cp1251."""
    out = []
    for byte in text.encode("cp1251"):
        ch = chr(byte)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif byte >= 0x80:
            out.append("\\'%02x" % byte)
        else:
            out.append(ch)
    return "".join(out)


def mark(name):
    return r"{\*\bkmkstart %s}{\*\bkmkend %s}" % (name, name)


class Bookmark:
    def __init__(self, name):
        self.name = name


def content(parts):
    """Pieces of a paragraph: plain strings, Bookmark, or (text, 'b') for bold."""
    out = []
    for part in parts:
        if isinstance(part, Bookmark):
            out.append(mark(part.name))
        elif isinstance(part, tuple):
            out.append(r"{\b " + esc(part[0]) + "}")
        else:
            out.append(esc(part))
    return "".join(out)


def head(align="l", size=12, font=TIMES, bold=False, before=0, after=0, intbl=False, keep=False):
    return (
        r"\pard\plain"
        + (r"\intbl" if intbl else "")
        + (r"\keepn" if keep else "")
        + r"\q%s\sb%d\sa%d\f%d\fs%d" % (align, before, after, font, size * 2)
        + (r"\b" if bold else "")
        + " "
    )


def para(*parts, **style):
    return head(**style) + content(parts) + r"\par" + "\n"


BORDER = r"\brdrs\brdrw10"


def row(cells, widths, borders="grid", header=False):
    """One table row; cells are (parts, style dict)."""
    out = [r"\trowd\trgaph108\trleft0\trkeep" + (r"\trhdr" if header else "")]
    right = 0
    for width in widths:
        right += width
        if borders == "grid":
            out.append(r"\clvertalc\clbrdrt%s\clbrdrl%s\clbrdrb%s\clbrdrr%s" % ((BORDER,) * 4))
        elif borders == "form":
            out.append(r"\clvertalb")
        out.append(r"\cellx%d" % right)
    out.append("\n")
    out.extend(cell(parts, style) for parts, style in cells)
    out.append(r"\row" + "\n")
    return "".join(out)


def cell(parts, style):
    return head(intbl=True, **style) + content(parts) + r"\cell" + "\n"


FORM_WIDTHS = (4200, TEXT_WIDTH - 4200)


def form_row(caption, name, mono=False):
    """A passport line: its caption and, underlined, its value. Figures padded
    to a fixed width by the program need a monospaced font to line up."""
    value_style = dict(size=11, after=40)
    if mono:
        value_style.update(font=COURIER, size=10)
    return (
        r"\trowd\trgaph108\trleft0\trkeep" "\n"
        + r"\clvertalb\cellx%d" % FORM_WIDTHS[0]
        + r"\clvertalb\clbrdrb%s\cellx%d" % (BORDER, sum(FORM_WIDTHS))
        + "\n"
        + cell([caption], dict(size=11, after=40))
        + cell([Bookmark(name)], value_style)
        + r"\row" + "\n"
    )


def table_end():
    """A plain paragraph after a table, so that what follows is outside it."""
    return head(size=6) + r"\par" + "\n"


def section(title):
    return para((title, "b"), size=12, before=160, after=80, keep=True)


def document(*pieces):
    return HEADER + "".join(pieces) + "}\n"


def signature(caption, closing="Дата: \u00ab____\u00bb ________________ 20____ г."):
    return (
        para(caption, Bookmark("info19"), size=12, before=360, after=120)
        + para("Подпись: ________________________", "\t\t", closing, size=12, after=0)
    )


RECORDER = [
    ("Тип и модификация регистратора", "info15"),
    ("Заводской номер и год изготовления", "info16"),
]
RECORDER_MOUNT = [
    ("Дата и время установки на кран", "info17"),
    ("Организация, установившая регистратор", "info18"),
]
CRANE_ID = [
    ("Тип и индекс крана", "info02"),
    ("Регистрационный номер", "info03"),
    ("Инвентарный номер", "info04"),
]
CRANE_MAKER = [
    ("Предприятие-изготовитель", "info05"),
    ("Заводской номер и год изготовления", "info06"),
]
CRANE_USE = [
    ("Вид грузозахватного органа", "info07"),
    ("Грузоподъёмность", "info08"),
    ("Группа классификации (режима) крана", "info09"),
    ("Дата ввода в эксплуатацию", "info10"),
    ("Нормативный срок службы", "info11"),
]
LIMITER = [("Параметры настройки ограничителя грузоподъёмности", "info14")]


def rows(lines, mono=False):
    return "".join(form_row(caption, name, mono=mono) for caption, name in lines)


def figures(lines):
    """The results of a reading: dates, counts and masses."""
    return rows(lines, mono=True)


def title_block(form, title, subtitle, period):
    return (
        para(form, align="r", size=10, after=120)
        + para((title, "b"), align="c", size=14, after=0)
        + para((subtitle, "b"), align="c", size=12, after=60)
        + para(period, align="c", size=11, after=240)
    )


def form1():
    return document(
        title_block(
            "Форма 1",
            "ПРОТОКОЛ",
            "считывания информации с регистратора параметров крана",
            "(данные за период между считываниями)",
        ),
        section("1. Регистратор параметров"),
        rows(RECORDER + RECORDER_MOUNT),
        table_end(),
        section("2. Кран"),
        rows(CRANE_ID + CRANE_MAKER + CRANE_USE + LIMITER),
        table_end(),
        section("3. Результаты считывания"),
        figures(
            [
                ("Начало периода", "Tbeg"),
                ("Окончание периода (время считывания)", "Tend"),
                ("Число рабочих циклов за период", "Chislocerle"),
                ("Суммарная масса поднятых грузов", "Massar"),
            ]
        ),
        table_end(),
        para("Замечания: ", "_" * 62, size=12, before=240, after=60),
        para("_" * 75, size=12, after=0),
        signature("Считывание выполнил: "),
    )


def form2():
    return document(
        title_block(
            "Форма 2",
            "СПРАВКА",
            "о наработке крана по данным регистратора параметров",
            "(за весь срок службы регистратора)",
        ),
        section("1. Регистратор параметров"),
        rows(RECORDER),
        table_end(),
        section("2. Кран"),
        rows(CRANE_ID + CRANE_MAKER + CRANE_USE),
        table_end(),
        section("3. Наработка крана"),
        figures(
            [
                ("Общее число рабочих циклов", "chciklov"),
                ("Суммарная масса поднятых грузов", "smass"),
                ("Число циклов с перегрузкой свыше 110 %", "peregryz"),
                ("Масса грузов, поднятых с перегрузкой", "massaperegryza"),
                ("Дата и время считывания", "vremyaschit"),
            ]
        ),
        table_end(),
        signature("Справку составил: "),
    )


def form3():
    return document(
        title_block(
            "Форма 3",
            "АКТ",
            "проверки работы ограничителя грузоподъёмности крана по данным регистратора параметров",
            "(за весь срок службы регистратора)",
        ),
        section("1. Кран"),
        figures(
            [("Владелец крана", "info01")]
            + CRANE_ID[:1]
            + CRANE_MAKER
            + CRANE_USE
        ),
        table_end(),
        section("2. Ограничитель грузоподъёмности и регистратор параметров"),
        rows(LIMITER + RECORDER + RECORDER_MOUNT),
        table_end(),
        section("3. Данные регистратора"),
        figures(
            [
                ("Начало периода регистрации", "Tbeg"),
                ("Окончание периода (время считывания)", "Tend"),
                ("Общее число рабочих циклов", "Uf"),
                ("Суммарная масса поднятых грузов", "smass"),
                ("Число срабатываний ограничителя (циклы свыше 110 %)", "overcycle"),
                ("Масса грузов в циклах со срабатыванием ограничителя", "massaOGP"),
            ]
        ),
        table_end(),
        para(
            "Вывод: ограничитель грузоподъёмности ",
            "_" * 38,
            size=12,
            before=240,
            after=0,
        ),
        para("(исправен / неисправен)", align="c", size=9, after=0),
        signature("Проверку провёл: "),
    )


def form4():
    return document(
        title_block(
            "Форма 4",
            "СВЕДЕНИЯ",
            "для определения фактической группы классификации (режима) крана",
            "(по данным регистратора параметров за весь срок службы)",
        ),
        section("1. Кран"),
        rows([("Владелец крана", "info01")] + CRANE_ID[:1] + CRANE_MAKER + CRANE_USE),
        table_end(),
        section("2. Ограничитель грузоподъёмности и регистратор параметров"),
        rows(LIMITER + RECORDER + RECORDER_MOUNT),
        table_end(),
        section("3. Нагружение крана"),
        figures(
            [
                ("Период регистрации", "time"),
                ("Общее число рабочих циклов", "scycle"),
                ("Суммарная масса поднятых грузов", "smass"),
                ("Дата и время считывания", "readtime"),
            ]
        ),
        table_end(),
        para(
            "Фактическая группа классификации (режима) крана: ",
            "_" * 20,
            size=12,
            before=240,
            after=0,
        ),
        signature("Сведения подготовил: "),
    )


RANGES = [
    "до 25 %",
    "26\u201350 %",
    "51\u201375 %",
    "76\u2013100 %",
    "101\u2013110 %",
    "111\u2013120 %",
    "121\u2013130 %",
    "свыше 130 %",
]
RANGE_WIDTHS = (2700, 2150, TEXT_WIDTH - 4850)


def range_table(kind, value_caption, bar_caption):
    label = dict(size=10)
    value = dict(align="r", font=COURIER, size=10)
    bar = dict(font=COURIER, size=10)
    header = dict(align="c", size=10, bold=True)
    out = [
        row(
            [
                (["Загрузка, % от номинальной"], header),
                ([value_caption], header),
                ([bar_caption], header),
            ],
            RANGE_WIDTHS,
            header=True,
        )
    ]
    for n, caption in enumerate(RANGES, start=1):
        name = "T%d%d" % (kind, n)
        out.append(
            row(
                [([caption], label), ([Bookmark(name)], value), ([Bookmark(name + "x")], bar)],
                RANGE_WIDTHS,
            )
        )
    return "".join(out)


def summary_row(caption, name, before=0):
    widths = (5200, TEXT_WIDTH - 5200)
    return row(
        [
            ([caption], dict(size=10, before=before)),
            ([Bookmark(name)], dict(align="r", font=COURIER, size=10, before=before)),
        ],
        widths,
        borders="form",
    )


def appendix():
    return document(
        para("Приложение 1", align="r", size=10, after=120),
        para(("СТАТИСТИКА НАГРУЖЕНИЯ КРАНА", "b"), align="c", size=14, after=0),
        para(("по данным регистратора параметров ", "b"), Bookmark("type"), align="c", size=12),
        # The program types the crane's identification where "Begining" ends;
        # the bookmark has a paragraph of its own, so that no office suite can
        # swap it with "type" when it saves the template.
        para(Bookmark("Begining"), size=1),
        summary_row("Начало периода", "begin", before=200),
        summary_row("Окончание периода (время считывания)", "read"),
        summary_row("Время во включённом состоянии", "Hchislo"),
        summary_row("Время простоя", "Prostoi"),
        summary_row("Время работы с грузом", "working"),
        summary_row("Характеристическое число", "harchislo"),
        table_end(),
        section("1. Время работы по диапазонам загрузки"),
        range_table(1, "Время работы", "Доля от наибольшего"),
        table_end(),
        section("2. Число рабочих циклов по диапазонам загрузки"),
        para("Всего рабочих циклов: ", Bookmark("fullcercl"), size=11, after=80, keep=True),
        range_table(2, "Число циклов", "Доля от наибольшего"),
        table_end(),
        section("3. Масса поднятых грузов по диапазонам загрузки"),
        para("Всего поднято: ", Bookmark("fullmass"), size=11, after=80, keep=True),
        range_table(3, "Масса, т", "Доля от наибольшего"),
        # Two lines below the last table the program puts the charts.
        table_end(),
        para(size=12),
    )


TEMPLATES = {
    "Форма 1.rtf": form1,
    "Форма 2.rtf": form2,
    "Форма 3.rtf": form3,
    "Форма 4.rtf": form4,
    "Приложение.rtf": appendix,
}


def main():
    folder = Path(__file__).resolve().parent
    for name, build in TEMPLATES.items():
        (folder / name).write_bytes(build().encode("ascii"))


if __name__ == "__main__":
    main()
