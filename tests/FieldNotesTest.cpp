// The notes a template carries on each caption.

#include <gtest/gtest.h>

#include <string>

#include "load/FieldNotes.h"

namespace ledgerlift {
namespace {

TEST(FieldNotes, SayWhichFieldsAreRequiredAndNoOthers) {
    for (SheetKind kind : {SheetKind::Items, SheetKind::Ledgers}) {
        for (const FieldInfo& field : Fields(kind)) {
            std::string note = NoteOf(kind, field.gridCol).note;
            EXPECT_EQ(note.rfind("Required.", 0) == 0, field.required) << field.caption;
            EXPECT_GT(note.size(), 10u) << field.caption;
        }
    }
}

TEST(FieldNotes, GiveTheYesNoAndDrCrColumnsTheirLists) {
    for (SheetKind kind : {SheetKind::Items, SheetKind::Ledgers}) {
        for (const FieldInfo& field : Fields(kind)) {
            std::string caption = field.caption;
            FieldValue value = NoteOf(kind, field.gridCol).value;
            EXPECT_EQ(value == FieldValue::YesNo, caption.rfind("RATE INCLUSIVE", 0) == 0)
                << caption;
            EXPECT_EQ(value == FieldValue::DrCr, caption == "DrCr") << caption;
        }
    }
}

// A number column shows its decimals; a text column holding codes keeps
// leading zeros as typed.
TEST(FieldNotes, NumberColumnsHaveANumberFormat) {
    for (SheetKind kind : {SheetKind::Items, SheetKind::Ledgers}) {
        for (const FieldInfo& field : Fields(kind)) {
            const FieldNote& note = NoteOf(kind, field.gridCol);
            std::string format = note.numberFormat;
            EXPECT_EQ(note.value == FieldValue::Number, format.rfind("0.0", 0) == 0)
                << field.caption;
        }
    }
}

}  // namespace
}  // namespace ledgerlift
