// The layout of every report: where each label and text box stands. The
// captions and the bound fields are added in the designer's order (which is
// what the catalogue's readers compare); their places on the page put the
// columns in reading order: identifier, names, the report's key value,
// address, telephones, then the report's own last column.

#include <array>
#include <vector>

#include "reports/ReportCatalogue.h"

namespace orlo::reports {

namespace {

using report::BandKind;
using report::ElementKind;
using report::PageSetup;
using report::ReportBand;
using report::ReportDefinition;
using report::ReportElement;
using report::TextStyle;

// The columns of a list report, left to right.
enum class Slot { Id, LastName, FirstName, Key, Address, HomeTel, WorkTel, Extra, Count };
constexpr std::array<qreal, std::size_t(Slot::Count)> kSlotWidth = {58, 84, 72, 100,
                                                                    0,  72, 72, 100};
constexpr qreal kMaxAddressWidth = 250;
constexpr qreal kGap = 4;            // between columns
constexpr qreal kLineHeight = 11;    // one line of a detail row
constexpr qreal kDetailHeight = 26;  // two lines and some air

// The six parts of an address block, by role: house number, street 1,
// street 2 on the first line; city, state, zip code on the second. Start
// and end as fractions of the column's width.
struct AddressPart {
    int line;
    qreal from;
    qreal to;
};
constexpr std::array<AddressPart, 6> kAddressParts = {
    {{0, 0, 0.1}, {0, 0.1, 0.6}, {0, 0.6, 1}, {1, 0, 0.38}, {1, 0.38, 0.76}, {1, 0.76, 1}}};

struct ColumnLayout {
    const char16_t* caption;
    Slot slot;
    // One field, or for the address the six parts by role.
    std::vector<const char16_t*> fields;
};

struct TabularLayout {
    std::vector<ColumnLayout> columns;    // captions in the designer's order
    std::vector<const char16_t*> fields;  // detail fields in the designer's order
};

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

ReportElement label(const QString& name, const QString& caption, QRectF rect,
                    TextStyle style = {}) {
    return ReportElement{ElementKind::Label, name, caption, rect, style, {}};
}

TextStyle bold(qreal size = 8.5) {
    TextStyle st;
    st.size = size;
    st.bold = true;
    return st;
}

// Title, "Date:" with Date1, and the description when the report has one.
void addReportHeader(ReportDefinition& def, const ReportEntry& entry, qreal width) {
    ReportBand& band = def.band(BandKind::ReportHeader);
    band.elements.push_back(
        label(QStringLiteral("Label3"), s(entry.title), {0, 0, width, 26}, bold(16)));
    band.elements.push_back(
        label(QStringLiteral("Label4"), QStringLiteral("Date:"), {0, 28, 34, 16}, bold(9)));
    TextStyle date;
    date.size = 9;
    band.elements.push_back(label(s(kDateLabel), QString(), {34, 28, 300, 16}, date));
    band.height = 50;
    if (entry.description != nullptr) {
        TextStyle text;
        text.size = 9;
        text.italic = true;
        text.wrap = true;
        text.align = Qt::AlignLeft | Qt::AlignTop;
        band.elements.push_back(
            label(QStringLiteral("Label10"), s(entry.description), {0, 46, width, 26}, text));
        band.height = 78;
    }
}

void addPageFooter(ReportDefinition& def, qreal width) {
    ReportBand& band = def.band(BandKind::PageFooter);
    TextStyle st;
    st.size = 8;
    st.align = Qt::AlignRight | Qt::AlignBottom;
    band.elements.push_back(
        label(QStringLiteral("Label40"), QStringLiteral("Page %p of %P"), {0, 0, width, 18}, st));
    band.height = 18;
}

ReportDefinition tabular(const ReportEntry& entry, const TabularLayout& layout) {
    ReportDefinition def(s(entry.object),
                         PageSetup{QPageSize::A4, QPageLayout::Landscape, {36, 36, 36, 36}});
    def.setCaption(s(entry.title));
    const qreal width = def.page().printableRect().width();

    // Column places: the address takes what the other columns leave, up to
    // a width where its parts still read as one address; any more room
    // goes to the other columns.
    std::array<bool, std::size_t(Slot::Count)> present{};
    for (const ColumnLayout& c : layout.columns) {
        present[std::size_t(c.slot)] = true;
    }
    qreal others = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        others += present[i] ? kSlotWidth[i] : 0;
    }
    const qreal address = std::min(kMaxAddressWidth, width - others);
    const qreal stretch = (width - address) / others;
    std::array<qreal, std::size_t(Slot::Count)> x{};
    std::array<qreal, std::size_t(Slot::Count)> w{};
    qreal at = 0;
    for (std::size_t i = 0; i < present.size(); ++i) {
        w[i] = !present[i] ? 0 : Slot(i) == Slot::Address ? address : kSlotWidth[i] * stretch;
        x[i] = at;
        at += w[i];
    }

    addReportHeader(def, entry, width);
    ReportBand& header = def.band(BandKind::PageHeader);
    header.height = 20;
    header.ruleBelow = true;
    std::vector<QString> captionName(layout.columns.size());
    for (std::size_t c = 0; c < layout.columns.size(); ++c) {
        const std::size_t slot = std::size_t(layout.columns[c].slot);
        captionName[c] = QStringLiteral("Label%1").arg(20 + c);
        header.elements.push_back(label(captionName[c], s(layout.columns[c].caption),
                                        {x[slot], 2, w[slot] - kGap, 16}, bold()));
    }

    ReportBand& detail = def.band(BandKind::Detail);
    detail.height = kDetailHeight;
    for (std::size_t f = 0; f < layout.fields.size(); ++f) {
        const QString field = s(layout.fields[f]);
        for (std::size_t c = 0; c < layout.columns.size(); ++c) {
            const ColumnLayout& col = layout.columns[c];
            const std::size_t slot = std::size_t(col.slot);
            for (std::size_t part = 0; part < col.fields.size(); ++part) {
                if (s(col.fields[part]) != field) {
                    continue;
                }
                QRectF rect(x[slot], 2, w[slot] - kGap, kLineHeight);
                if (col.slot == Slot::Address) {
                    const AddressPart& a = kAddressParts[part];
                    const qreal room = w[slot] - kGap;
                    rect = QRectF(x[slot] + a.from * room, 2 + a.line * kLineHeight,
                                  (a.to - a.from) * room - 2, kLineHeight);
                }
                detail.elements.push_back(ReportElement{ElementKind::Field,
                                                        QStringLiteral("Text%1").arg(f + 1), field,
                                                        rect, TextStyle{}, captionName[c]});
            }
        }
    }
    addPageFooter(def, width);
    return def;
}

// The columns the list reports share.
const std::vector<const char16_t*> kAddress = {u"HOUSENO", u"STREET1", u"STREET2",
                                               u"CITY",    u"STATE",   u"ZIP_CODE"};

TabularLayout recallColumns(const char16_t* idCaption, const char16_t* keyCaption,
                            const char16_t* keyField, const char16_t* lastCaption,
                            const char16_t* lastField) {
    return TabularLayout{
        {{idCaption, Slot::Id, {u"PATIENTS.PT_ID"}},
         {u"Last Name", Slot::LastName, {u"LAST NAME"}},
         {keyCaption, Slot::Key, {keyField}},
         {u"Address", Slot::Address, kAddress},
         {u"Home Tel.", Slot::HomeTel, {u"HOME_TEL"}},
         {u"Work Tel.", Slot::WorkTel, {u"WORK_TEL"}},
         {u"First Name", Slot::FirstName, {u"FIRST NAME"}},
         {lastCaption, Slot::Extra, {lastField}}},
        {u"PATIENTS.PT_ID", keyField, u"LAST NAME", u"FIRST NAME", u"HOUSENO", u"STREET2",
         u"STREET1", u"CITY", u"STATE", u"ZIP_CODE", u"HOME_TEL", u"WORK_TEL", lastField}};
}

TabularLayout patientColumns(const char16_t* idField, const char16_t* keyCaption,
                             const char16_t* keyField) {
    TabularLayout layout{
        {{u"Patient ID", Slot::Id, {idField}}, {u"Last Name", Slot::LastName, {u"LAST NAME"}}},
        {idField, u"LAST NAME"}};
    if (keyCaption != nullptr) {
        layout.columns.push_back({keyCaption, Slot::Key, {keyField}});
        layout.fields.push_back(keyField);
    }
    layout.columns.push_back({u"Address", Slot::Address, kAddress});
    layout.columns.push_back({u"Home Tel.", Slot::HomeTel, {u"HOME_TEL"}});
    layout.columns.push_back({u"Work Tel.", Slot::WorkTel, {u"WORK_TEL"}});
    layout.columns.push_back({u"First Name", Slot::FirstName, {u"FIRST NAME"}});
    for (const char16_t* f : {u"FIRST NAME", u"HOUSENO", u"STREET1", u"STREET2", u"CITY", u"STATE",
                              u"ZIP_CODE", u"HOME_TEL", u"WORK_TEL"}) {
        layout.fields.push_back(f);
    }
    return layout;
}

TabularLayout monthlyRecallColumns() {
    return TabularLayout{
        {{u"Patient ID", Slot::Id, {u"PT_ID"}},
         {u"Last Name", Slot::LastName, {u"FLD2"}},
         {u"Due Date", Slot::Key, {u"FLD1"}},
         {u"Address", Slot::Address, {u"FLD5", u"FLD6", u"FLD7", u"FLD8", u"FLD9", u"FLD10"}},
         {u"Home Tel.", Slot::HomeTel, {u"FLD12"}},
         {u"Work Tel.", Slot::WorkTel, {u"FLD11"}},
         {u"First Name", Slot::FirstName, {u"FLD3"}}},
        {u"PT_ID", u"FLD1", u"FLD2", u"FLD3", u"FLD5", u"FLD7", u"FLD6", u"FLD8", u"FLD9", u"FLD10",
         u"FLD12", u"FLD11"}};
}

// The patient detail report: one form-like page of label and value pairs
// in two columns, no page header.
struct FormPart {
    bool field;
    const char16_t* text;
    qreal weight;
};
struct FormEntry {
    const char16_t* caption;
    std::vector<std::vector<FormPart>> lines;
    bool wrap = false;  // one field over all the lines (notes)
};

FormEntry pair(const char16_t* caption, const char16_t* field) {
    return {caption, {{{true, field, 1}}}};
}
FormEntry tall(const char16_t* caption, const char16_t* field, int lines) {
    return {caption, std::vector<std::vector<FormPart>>(std::size_t(lines), {{true, field, 1}}),
            true};
}

ReportDefinition patientDetail(const ReportEntry& entry) {
    ReportDefinition def(s(entry.object),
                         PageSetup{QPageSize::A4, QPageLayout::Portrait, {36, 36, 36, 36}});
    def.setCaption(s(entry.title));
    const qreal width = def.page().printableRect().width();
    addReportHeader(def, entry, width);
    def.band(BandKind::ReportHeader).height = 58;
    addPageFooter(def, width);

    const std::vector<FormEntry> left = {
        pair(u"Patient ID", u"PT_ID"),
        pair(u"Last Name", u"LAST NAME"),
        pair(u"First Name", u"FIRST NAME"),
        pair(u"Date of Birth", u"DOB"),
        {u"Address",
         {{{true, u"HOUSENO", 0.14}, {true, u"STREET1", 0.86}},
          {{true, u"STREET2", 1}},
          {{true, u"CITY", 0.34}, {true, u"STATE", 0.42}, {true, u"ZIP_CODE", 0.24}}}},
        pair(u"Home Tel.", u"HOME_TEL"),
        pair(u"Work Tel.", u"WORK_TEL"),
        pair(u"Mobile", u"MOBILE"),
        pair(u"Business Fax", u"BUS_FAX"),
        pair(u"Email", u"EMAIL1"),
        pair(u"Doctor", u"DOCTOR"),
        pair(u"Referred By", u"REFERREDBY"),
        pair(u"Emerg. Contact", u"ECONTACT"),
        pair(u"Contact Tel", u"ECONTACT_TEL"),
        pair(u"Relation", u"ECONRELATION"),
        tall(u"Notes", u"CTGNOTE", 4),
        pair(u"Other Number", u"NI_NO"),
        pair(u"Insurance No.", u"INSUR_NO"),
        pair(u"Sex", u"SEX"),
        pair(u"Diabetic", u"DIABETICYN"),
        tall(u"Allergies", u"ALLERGICREACTIONSTXT", 2),
        pair(u"Marital Status", u"MARITAL_STATUS"),
        pair(u"Policy No.", u"GEN_POLICY_NO"),
    };
    const std::vector<FormEntry> right = {
        {u"Height",
         {{{true, u"CLINICAL_HEIGHT", 0.2},
           {false, u"Ft.", 0.2},
           {true, u"CLINICAL_INCHES", 0.2},
           {false, u"Inches", 0.4}}}},
        pair(u"Weight", u"CLINICAL_WEIGHT"),
        pair(u"Blood Type", u"CLINICAL_BLOOD"),
        pair(u"Smoker", u"CLINICAL_SMOKEYESNO"),
        pair(u"Sexually Active", u"CLINICAL_SEXACTIVE"),
        pair(u"Medication 1", u"CLINICAL_MED1"),
        pair(u"Medication 2", u"CLINICAL_MED2"),
        pair(u"Medication 3", u"CLINICAL_MED3"),
        pair(u"Medication 4", u"CLINICAL_MED4"),
        tall(u"Allergies", u"CLINICAL_ALLERGIES1", 2),
        tall(u"Food Allergies", u"CLINICAL_ALLERGIES2", 2),
        tall(u"Diagnosis", u"CLINICAL_DIAGNOSIS", 3),
        tall(u"Surgerical Hx", u"CLINICAL_SURGHX", 3),
        tall(u"Family Hx", u"CLINICAL_FAMHX", 3),
        tall(u"Medical Hx", u"CLINICAL_MEDHX", 3),
        tall(u"Notes 1", u"NOTES_NOTES1", 4),
        tall(u"Notes 2", u"NOTES_NOTES2", 4),
    };

    ReportBand& detail = def.band(BandKind::Detail);
    constexpr qreal kRow = 15;
    constexpr qreal kLabelWidth = 94;
    const qreal half = width / 2;
    int labels = 0;
    int fields = 0;
    qreal bottom = 0;
    for (const auto* side : {&left, &right}) {
        const qreal x = side == &left ? 0 : half + 6;
        const qreal valueWidth = half - 6 - kLabelWidth;
        qreal y = 0;
        for (const FormEntry& e : *side) {
            const QString heading = QStringLiteral("Label%1").arg(50 + labels++);
            detail.elements.push_back(
                label(heading, s(e.caption), {x, y, kLabelWidth - 4, kRow - 2}, bold()));
            if (e.wrap) {
                TextStyle st;
                st.wrap = true;
                st.align = Qt::AlignLeft | Qt::AlignTop;
                detail.elements.push_back(
                    ReportElement{ElementKind::Field,
                                  QStringLiteral("Text%1").arg(++fields),
                                  s(e.lines[0][0].text),
                                  {x + kLabelWidth, y + 1, valueWidth, e.lines.size() * kRow - 2},
                                  st,
                                  heading});
                y += qreal(e.lines.size()) * kRow;
                continue;
            }
            for (const auto& line : e.lines) {
                qreal px = x + kLabelWidth;
                for (const FormPart& part : line) {
                    const QRectF rect(px, y, part.weight * valueWidth - 3, kRow - 2);
                    px += part.weight * valueWidth;
                    if (part.field) {
                        detail.elements.push_back(ReportElement{
                            ElementKind::Field, QStringLiteral("Text%1").arg(++fields),
                            s(part.text), rect, TextStyle{}, heading});
                    } else {
                        ReportElement unit =
                            label(QStringLiteral("Label%1").arg(50 + labels++), s(part.text), rect);
                        unit.column = heading;
                        detail.elements.push_back(unit);
                    }
                }
                y += kRow;
            }
        }
        bottom = std::max(bottom, y);
    }
    detail.height = bottom + 4;
    return def;
}

}  // namespace

report::ReportDefinition reportDefinition(ReportId id) {
    const ReportEntry& entry = reportEntry(id);
    switch (id) {
        case ReportId::DataReport1:
            return tabular(entry, patientColumns(u"PATIENTS.PT_ID", u"Balance", u"BALANCE1"));
        case ReportId::DataReport2:
        case ReportId::DataReport5:
        case ReportId::DataReport6:
        case ReportId::DataReport7:
        case ReportId::DataReport8:
            return tabular(entry, recallColumns(u"Patient ID", u"Due Date", u"RECALLDUEDATE",
                                                u"Recall Type", u"RECALLPERIOD"));
        case ReportId::DataReport3:
            return tabular(entry, recallColumns(u"Pt. ID", u"Due Date", u"RECALLDUEDATE",
                                                u"Start Time", u"START_TIME"));
        case ReportId::DataReport4:
            return tabular(entry, patientColumns(u"PT_ID", u"Diabetic", u"DIABETICYN"));
        case ReportId::DataReport9:
            return patientDetail(entry);
        case ReportId::DataReport10:
            return tabular(entry, recallColumns(u"Pat. ID", u"Time Scheduled", u"START_TIME",
                                                u"Status", u"STATUS"));
        case ReportId::DataReport11:
            return tabular(entry, patientColumns(u"PT_ID", nullptr, nullptr));
        case ReportId::MontlyRecall:
            return tabular(entry, monthlyRecallColumns());
    }
    return {};
}

}  // namespace orlo::reports
