#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

namespace {

using rtl::EStringListError;
using rtl::TDuplicates;
using rtl::TStringList;
using Strings = std::vector<std::string>;

TStringList listOf(const Strings& items) {
    TStringList list;
    list.AddStrings(items);
    return list;
}

TEST(CommaText, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(listOf({"a", "b c", "d\"e", "", "f,g", "h;i", "\xC3\xA9"}).CommaText(),
              "a,\"b c\",\"d\"\"e\",,\"f,g\",h;i,\xC3\xA9");
    EXPECT_EQ(listOf({""}).CommaText(), "\"\"");
    EXPECT_EQ(listOf({}).CommaText(), "");
    EXPECT_EQ(listOf({"tab\there"}).CommaText(), "\"tab\there\"");
    EXPECT_EQ(listOf({"say \"hi\""}).CommaText(), "\"say \"\"hi\"\"\"");
}

TEST(CommaText, ReadingSplitsAtCommasAndUnquotedBlanks) {
    TStringList list;
    list.SetCommaText("a b,\"c d\" , e");
    EXPECT_EQ(list.ToVector(), (Strings{"a", "b", "c d", "e"}));
    list.SetCommaText("x,,y,");
    EXPECT_EQ(list.ToVector(), (Strings{"x", "", "y", ""}));
    list.SetCommaText("\"say \"\"hi\"\"\",d\"\"e");
    EXPECT_EQ(list.ToVector(), (Strings{"say \"hi\"", "d\"\"e"}));
    list.SetCommaText("\"unterminated, rest");
    EXPECT_EQ(list.ToVector(), (Strings{"unterminated, rest"}));
    list.SetCommaText("   ");
    EXPECT_EQ(list.Count(), 0);
    list.SetCommaText("\"\"");
    EXPECT_EQ(list.ToVector(), (Strings{""}));
}

TEST(CommaText, RoundTripsAnyItems) {
    Strings items{"plain", "with space", "with,comma", "with\"quote", "\"", ",", " lead", "trail "};
    TStringList list;
    list.SetCommaText(listOf(items).CommaText());
    EXPECT_EQ(list.ToVector(), items);
}

TEST(DelimitedText, UsesDelimiterAndQuoteChar) {
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.AddStrings({"a;b", "c", "it's"});
    EXPECT_EQ(list.DelimitedText(), "'a;b';c;'it''s'");
    EXPECT_EQ(list.CommaText(), "a;b,c,it's"); // CommaText keeps its own delimiter and quote
    TStringList back;
    back.SetDelimiter(';');
    back.SetQuoteChar('\'');
    back.SetDelimitedText("'a;b';c;'it''s'");
    EXPECT_EQ(back.ToVector(), (Strings{"a;b", "c", "it's"}));
}

TEST(StringList, SortedWithDuplicates) {
    TStringList list;
    list.SetSorted(true);
    list.AddStrings({"pear", "Apple", "fig", "apple"});
    EXPECT_EQ(list.ToVector(), (Strings{"Apple", "fig", "pear"})); // dupIgnore, case-insensitive
    EXPECT_EQ(list.Add("PEAR"), 2);

    list.SetDuplicates(TDuplicates::dupAccept);
    list.Add("FIG");
    EXPECT_EQ(list.Count(), 4);

    list.SetDuplicates(TDuplicates::dupError);
    try {
        list.Add("apple");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.SetString(0, "x"), EStringListError);
}

TEST(StringList, CaseSensitiveSortPutsLowerCaseFirst) {
    TStringList list;
    list.SetCaseSensitive(true);
    list.AddStrings({"b", "B", "a", "A", "_", "1"});
    list.SetSorted(true);
    EXPECT_EQ(list.ToVector(), (Strings{"_", "1", "a", "A", "b", "B"}));
    EXPECT_EQ(list.IndexOf("B"), 5);
    EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringList, FindGivesTheInsertPosition) {
    TStringList list = listOf({"b", "d", "f"});
    list.SetSorted(true);
    int index = -1;
    EXPECT_TRUE(list.Find("D", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("e", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find("z", index));
    EXPECT_EQ(index, 3);
}

TEST(StringList, UnsortedIndexOfIgnoresCase) {
    TStringList list = listOf({"one", "Two", "three"});
    EXPECT_EQ(list.IndexOf("TWO"), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("TWO"), -1);
    EXPECT_THROW(list.Strings(3), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
}

TEST(StringList, NamesAndValues) {
    TStringList list = listOf({"Host=www", "Port=53", "plain", "Empty=", "a=b=c"});
    EXPECT_EQ(list.Values("host"), "www");
    EXPECT_EQ(list.Values("a"), "b=c");
    EXPECT_EQ(list.Values("Empty"), "");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Names(4), "a");
    EXPECT_EQ(list.ValueFromIndex(1), "53");
    EXPECT_EQ(list.IndexOfName("PORT"), 1);

    list.SetValue("Port", "54");
    EXPECT_EQ(list.Strings(1), "Port=54");
    list.SetValue("New", "1");
    EXPECT_EQ(list.Strings(list.Count() - 1), "New=1");
    list.SetValue("host", ""); // an empty value deletes the line
    EXPECT_EQ(list.IndexOfName("Host"), -1);
    EXPECT_EQ(list.Count(), 5);
    list.SetValue("nothing", "");
    EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, ValuesOnASortedList) {
    TStringList list;
    list.SetSorted(true);
    list.SetValue("b", "1");
    list.SetValue("a", "2");
    list.SetValue("b", "3");
    EXPECT_EQ(list.ToVector(), (Strings{"a=2", "b=3"}));
}

TEST(StringList, TextUsesCrLf) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\r\n");
    EXPECT_EQ(list.ToVector(), (Strings{"one", "two", "three", "four"}));
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST(StringList, ObjectsTravelWithTheirStrings) {
    int first = 1, second = 2;
    TStringList list;
    list.AddObject("zeta", &first);
    list.AddObject("alpha", &second);
    list.Sort();
    EXPECT_EQ(list.Objects(0), &second);
    EXPECT_EQ(list.IndexOfObject(&first), 1);
    list.Move(1, 0);
    EXPECT_EQ(list.Strings(0), "zeta");
    list.Exchange(0, 1);
    EXPECT_EQ(list.Strings(0), "alpha");
}

TEST(StringList, CustomSort) {
    TStringList list = listOf({"10", "9", "100"});
    list.CustomSort(
        [](const TStringList& l, int a, int b) { return std::stoi(l.Strings(a)) - std::stoi(l.Strings(b)); });
    EXPECT_EQ(list.ToVector(), (Strings{"9", "10", "100"}));
}

} // namespace
