#include "store/Recordset.h"
#include "store/StoreError.h"
#include "support/TempDatabase.h"

#include <gtest/gtest.h>

using namespace dormivo;

TEST(Recordset, FindsColumnsIgnoringCaseAndReadsValuesBackAsText) {
    test::TempDatabase db;
    {
        Recordset setting(db.store().connection(), "select * from setting");
        ASSERT_TRUE(setting.eof());
        EXPECT_THROW(setting.setField("period", "5"), StoreError) << "no current row";
        EXPECT_THROW(setting.moveNext(), StoreError);
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

TEST(Recordset, EditsReachOnlyTheCurrentRowAndEachAddNewSavesThePendingOne) {
    test::TempDatabase db;
    db.exec("INSERT INTO programs VALUES ('a'), ('b'), ('c')");
    Recordset rows(db.store().connection(), "select * from programs");
    rows.moveNext();
    rows.setField("programName", "B");
    rows.update();
    for (const char* name : {"x", "y"}) {
        rows.addNew();
        rows.setField("programName", name);
    }
    EXPECT_EQ(db.scalar("SELECT group_concat(programName, ',') FROM programs"), "a,B,c,x");
    rows.update();
    EXPECT_EQ(db.scalar("SELECT group_concat(programName, ',') FROM programs"), "a,B,c,x,y");
}

TEST(Connection, AcceptsTheDeleteEverythingForm) {
    test::TempDatabase db;
    db.exec("INSERT INTO programs VALUES ('a'), ('b')");
    db.exec("delete * from programs");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM programs"), "0");
}
