#include "Recordset.h"
#include "StoreError.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

using namespace dormivo;

TEST(Recordset, FindsColumnsIgnoringCaseAndReadsValuesBackAsText) {
    test::TempDatabase db;
    {
        Recordset setting(db.store().connection(), "select * from setting");
        ASSERT_TRUE(setting.eof());
        setting.addNew();
        setting.setField("active", 1);
        setting.setField("period", 12);
        setting.update();
    }
    Recordset setting(db.store().connection(), "select * from setting");
    EXPECT_EQ(setting.field("Active").text(), "1");
    EXPECT_EQ(setting.field("PERIOD").text(), "12");
    EXPECT_TRUE(setting.field("Status").isNull());
    EXPECT_THROW(setting.field("nosuch"), StoreError);
}

TEST(Recordset, EditsReachOnlyTheCurrentRow) {
    test::TempDatabase db;
    db.exec("INSERT INTO programs VALUES ('a'), ('b'), ('c')");
    Recordset rows(db.store().connection(), "select * from programs");
    rows.moveNext();
    rows.setField("programName", "B");
    rows.update();
    EXPECT_EQ(db.scalar("SELECT group_concat(programName, ',') FROM programs"), "a,B,c");
}

TEST(Recordset, EachAddNewSavesThePendingRow) {
    test::TempDatabase db;
    Recordset rows(db.store().connection(), "select * from programs");
    for (const char* name : {"x", "y", "z"}) {
        rows.addNew();
        rows.setField("programName", name);
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM programs"), "2");
    rows.update();
    EXPECT_EQ(db.scalar("SELECT group_concat(programName, ',') FROM programs"), "x,y,z");
}

TEST(Recordset, RefusesEditsWithoutACurrentRow) {
    test::TempDatabase db;
    Recordset rows(db.store().connection(), "select * from setting");
    EXPECT_THROW(rows.setField("period", "5"), StoreError);
    EXPECT_THROW(rows.moveNext(), StoreError);
}

TEST(Connection, AcceptsTheDeleteEverythingForm) {
    test::TempDatabase db;
    db.exec("INSERT INTO programs VALUES ('a'), ('b')");
    db.exec("delete * from programs");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM programs"), "0");
}
