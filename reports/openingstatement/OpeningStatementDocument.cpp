#include "reports/openingstatement/OpeningStatementDocument.h"

#include "reports/openingstatement/PrintableText.h"

namespace ledgerlift {
namespace {

using Kind = DocRow::Kind;

// Builds the blocks in order, every text made printable on the way.
class DocumentBuilder {
  public:
    DocumentBuilder(const OpeningStatement& s, DigitGrouping grouping) : s_(s), g_(grouping) {}

    OpeningStatementDocument Build();

  private:
    std::string Amount(double v) const { return AmountText(v, g_); }
    std::string Quantity(double v) const { return QuantityText(v, g_); }
    std::string Count(int n) const { return GroupDigits(std::to_string(n), g_); }
    // An amount on one side of a ledger: blank when there is none.
    std::string Side(double v) const { return v == 0 ? "" : Amount(v); }

    void Add(DocBlock::Kind kind, const std::string& text, bool newPage = false) {
        doc_.blocks.push_back(DocBlock{kind, PrintableText(text), {}, newPage});
    }
    DocTable& AddTable(std::vector<DocColumn> columns) {
        doc_.blocks.push_back(DocBlock{DocBlock::Kind::Table, "", {std::move(columns), {}}});
        return doc_.blocks.back().table;
    }
    static void Row(DocTable& table, Kind kind, std::vector<std::string> cells) {
        for (std::string& cell : cells) {
            cell = PrintableText(cell);
        }
        table.rows.push_back(DocRow{kind, std::move(cells)});
    }

    void Heading();
    void LastRun();
    void Position();
    void PositionRows(DocTable& table);
    void RunLines();
    void Categories();
    void Ledgers();
    void Appendix();

    const OpeningStatement& s_;
    DigitGrouping g_;
    OpeningStatementDocument doc_;
};

void DocumentBuilder::Heading() {
    std::string company = s_.companyCode + (s_.companyName.empty() ? "" : ", " + s_.companyName);
    doc_.title = PrintableText("Opening statement of " + company);
    doc_.footer = PrintableText(s_.companyCode + " opening statement, printed " + s_.printed);
    Add(DocBlock::Kind::Paragraph, "Company: " + company + " (database " + s_.database + ")");
    Add(DocBlock::Kind::Paragraph,
        "Migration date: " + (s_.migrationDates.empty() ? "none posted" : s_.migrationDates));
    Add(DocBlock::Kind::Paragraph, "Printed: " + s_.printed);
    LastRun();
}

void DocumentBuilder::LastRun() {
    for (const std::string& problem : s_.recordProblems) {
        Add(DocBlock::Kind::Note, problem);
    }
    if (!s_.lastRun) {
        Add(DocBlock::Kind::Note,
            "No run of this company is recorded beside its backups; the figures are read from "
            "its database alone.");
        return;
    }
    const RunRecord& r = *s_.lastRun;
    Add(DocBlock::Kind::Paragraph,
        "Last run: started " + r.started + ", ended " + r.ended + ", " + r.outcome + ".");
    Add(DocBlock::Kind::Paragraph, "Its workbook: " + r.workbook);
    if (!s_.lastRunBackupKept || s_.lastRunBackupProblem.empty()) {
        Add(DocBlock::Kind::Paragraph,
            "The backup that undoes it: " + r.backup +
                (s_.lastRunBackupKept ? "" : " (no longer kept: later runs pruned it)"));
    } else {
        Add(DocBlock::Kind::Note, "No backup can undo it: a restore would refuse its backup " +
                                      r.backup + ". " + s_.lastRunBackupProblem);
    }
    if (!s_.restoredAt.empty()) {
        Add(DocBlock::Kind::Note, "After that run the company was restored from its backup " +
                                      s_.restoredFrom + " (on " + s_.restoredAt +
                                      "): the figures below are what its database holds now.");
    }
}

void DocumentBuilder::PositionRows(DocTable& table) {
    const OpeningTotals& t = s_.totals;
    const std::optional<RecordedCheck>& check = s_.lastRun ? s_.lastRun->check : std::nullopt;
    auto row = [&](Kind kind, const std::string& what, const std::string& held,
                   const std::string& predicted) {
        std::vector<std::string> cells{what, held};
        if (check) {
            cells.push_back(predicted);
        }
        Row(table, kind, std::move(cells));
    };
    RecordedCheck c = check.value_or(RecordedCheck{});
    row(Kind::Line, "Items with opening stock", Count(t.items), "");
    row(Kind::Line, "Opening stock lines", Count(t.stockLines), Count(c.stockLines));
    row(Kind::Line, "Opening stock quantity", Quantity(t.quantity), Quantity(c.quantity));
    row(Kind::Line, "Opening stock value", Amount(t.stockValue), Amount(c.stockValue));
    row(Kind::Line, "Ledgers with opening balances", Count(t.ledgers), "");
    row(Kind::Line, "Ledgers, debit", Amount(t.debit), Amount(c.debit));
    row(Kind::Line, "Ledgers, credit", Amount(t.credit), Amount(c.credit));
    row(Kind::GrandTotal, "Difference (debit + stock value - credit)", Amount(t.Difference()),
        Amount(c.Difference()));
}

void DocumentBuilder::Position() {
    Add(DocBlock::Kind::Heading, "Opening position");
    std::vector<DocColumn> columns{{"", false, 3}, {"In the company", true, 1.4}};
    if (s_.lastRun && s_.lastRun->check) {
        columns.push_back({"Check predicted", true, 1.4});
    }
    PositionRows(AddTable(std::move(columns)));
    Add(DocBlock::Kind::Emphasis,
        std::string(kDifferenceLabel) + ": " + Amount(s_.totals.Difference()));
    RunLines();
}

// What the last run's record keeps: the check it was predicted by, its
// reconciliation and its summary.
void DocumentBuilder::RunLines() {
    if (!s_.lastRun) {
        return;
    }
    const RunRecord& r = *s_.lastRun;
    Add(DocBlock::Kind::Note, "As the record of the last run keeps them:");
    if (r.check) {
        Add(DocBlock::Kind::Note,
            "Check predicted: the check of the same workbook with the "
            "migration date " +
                r.check->date + ", before the last run.");
    }
    for (const std::vector<std::string>* lines : {&r.reconciled, &r.summary}) {
        for (const std::string& line : *lines) {
            Add(DocBlock::Kind::Note, line);
        }
    }
}

void DocumentBuilder::Categories() {
    Add(DocBlock::Kind::Heading, "Opening stock by category");
    if (s_.categories.empty()) {
        Add(DocBlock::Kind::Paragraph, "No opening stock is posted.");
        return;
    }
    DocTable& table = AddTable({{"Category", false, 3},
                                {"Items", true, 0.8},
                                {"Quantity", true, 1.3},
                                {"Value", true, 1.5}});
    for (const OpeningStatementCategory& c : s_.categories) {
        Row(table, Kind::Line,
            {c.name, Count(static_cast<int>(c.items.size())), Quantity(c.quantity),
             Amount(c.value)});
    }
    const OpeningTotals& t = s_.totals;
    Row(table, Kind::GrandTotal,
        {"Opening stock", Count(t.items), Quantity(t.quantity), Amount(t.stockValue)});
}

void DocumentBuilder::Ledgers() {
    Add(DocBlock::Kind::Heading, "Ledgers by group");
    if (s_.groups.empty()) {
        Add(DocBlock::Kind::Paragraph, "No opening balance is posted.");
        return;
    }
    DocTable& table =
        AddTable({{"Ledger", false, 3.6}, {"Debit", true, 1.4}, {"Credit", true, 1.4}});
    for (const OpeningStatementGroup& g : s_.groups) {
        Row(table, Kind::Group, {g.name, "", ""});
        for (const OpeningStatementLedger& l : g.ledgers) {
            Row(table, Kind::Line, {l.name, Side(l.debit), Side(l.credit)});
        }
        Row(table, Kind::Total, {"Total " + g.name, Amount(g.debit), Amount(g.credit)});
    }
    Row(table, Kind::GrandTotal,
        {"All ledgers", Amount(s_.totals.debit), Amount(s_.totals.credit)});
}

void DocumentBuilder::Appendix() {
    if (s_.categories.empty()) {
        return;
    }
    Add(DocBlock::Kind::Heading, "Appendix: opening stock by item", true);
    DocTable& table = AddTable(
        {{"Code", false, 1.3}, {"Item", false, 3}, {"Quantity", true, 1.2}, {"Value", true, 1.5}});
    for (const OpeningStatementCategory& c : s_.categories) {
        Row(table, Kind::Group, {c.name, "", "", ""});
        for (const OpeningStatementItem& i : c.items) {
            Row(table, Kind::Line, {i.code, i.name, Quantity(i.quantity), Amount(i.value)});
        }
        Row(table, Kind::Total, {"Total " + c.name, "", Quantity(c.quantity), Amount(c.value)});
    }
    const OpeningTotals& t = s_.totals;
    Row(table, Kind::GrandTotal, {"Opening stock", "", Quantity(t.quantity), Amount(t.stockValue)});
}

OpeningStatementDocument DocumentBuilder::Build() {
    Heading();
    Position();
    Categories();
    Ledgers();
    Appendix();
    return std::move(doc_);
}

}  // namespace

OpeningStatementDocument BuildOpeningStatementDocument(const OpeningStatement& statement,
                                                       DigitGrouping grouping) {
    return DocumentBuilder(statement, grouping).Build();
}

}  // namespace ledgerlift
