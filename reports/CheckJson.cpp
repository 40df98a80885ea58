#include "reports/CheckJson.h"

#include <cmath>

#include "base/TextRules.h"
#include "reports/JsonOutput.h"

namespace ledgerlift {
namespace {

// An amount to the currency's four decimals; one beyond the currency's range
// to NumberText's fifteen digits.
OrderedJson Amount(double value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    try {
        return JsonNumber(CurrencyText(value));
    } catch (const ConversionError&) {
        return JsonNumber(NumberText(value));
    }
}

OrderedJson Quantity(double value) {
    return std::isfinite(value) ? JsonNumber(NumberText(value)) : OrderedJson(nullptr);
}

OrderedJson ProblemJson(const Problem& p) {
    return {{"sheet", p.sheet},   {"row", p.row},
            {"column", p.column}, {"heading", p.heading},
            {"key", p.key},       {"severity", Problem::SeverityText(p.severity)},
            {"kind", p.kind},     {"text", p.text}};
}

}  // namespace

std::string CheckJson(const CheckResult& r) {
    OrderedJson problems = OrderedJson::array();
    for (const Problem& p : r.problems) {
        problems.push_back(ProblemJson(p));
    }
    const OpeningTotals& t = r.totals;
    OrderedJson document = {
        {"workbook", r.workbook},
        {"company", r.company},
        {"date", r.date},
        {"categories", {{"new", r.categoriesNew}, {"existing", r.categoriesExisting}}},
        {"items",
         {{"rows", r.itemRows},
          {"new", r.itemsNew},
          {"existing", r.itemsExisting},
          {"failing", r.itemsFailing}}},
        {"opening_stock",
         {{"lines", t.stockLines},
          {"quantity", Quantity(t.quantity)},
          {"value", Amount(t.stockValue)}}},
        {"ledgers",
         {{"rows", r.ledgerRows},
          {"new", r.ledgersNew},
          {"existing", r.ledgersExisting},
          {"failing", r.ledgersFailing}}},
        {"opening_balances",
         {{"debit", Amount(t.debit)},
          {"credit", Amount(t.credit)},
          {"stock_value", Amount(t.stockValue)},
          {"difference", Amount(t.Difference())}}},
        {"load_warnings", r.loadWarnings},
        {"problems", problems}};
    return JsonDocument(document);
}

}  // namespace ledgerlift
