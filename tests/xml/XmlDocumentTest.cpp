#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

TEST(XmlDocument, NavigatesLevelsAndChildren)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(
        "<root><a><item x='1'/><item x='2'/></a><b><other y='&lt;&amp;'/></b><a><item x='3'/></a></root>"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.IntoElem());

    ASSERT_TRUE(doc.FindElem("b"));
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib("y"), "<&");
    EXPECT_EQ(doc.GetChildAttrib("missing"), "");

    // After a reset the first "a" is found again, not the second one.
    doc.ResetMainPos();
    ASSERT_TRUE(doc.FindElem("a"));
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib("x"), "1");
    ASSERT_TRUE(doc.FindChildElem());
    EXPECT_EQ(doc.GetChildAttrib("x"), "2");
    EXPECT_FALSE(doc.FindChildElem());
    EXPECT_FALSE(doc.FindElem("c"));

    ASSERT_TRUE(doc.IntoElem());
    EXPECT_EQ(doc.GetAttrib("x"), "2");
    ASSERT_TRUE(doc.OutOfElem());
    ASSERT_TRUE(doc.FindElem("a"));
    ASSERT_TRUE(doc.FindChildElem("item"));
    EXPECT_EQ(doc.GetChildAttrib("x"), "3");
}

TEST(XmlDocument, WritesOneElementPerLineWithEscapes)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElem("root"));
    EXPECT_FALSE(doc.AddElem("second_root"));
    ASSERT_TRUE(doc.IntoElem());
    ASSERT_TRUE(doc.AddElem("group"));
    ASSERT_TRUE(doc.AddChildElem("item"));
    ASSERT_TRUE(doc.SetChildAttrib("t", "a<b>&\"c\"\r\n\t宋'"));
    ASSERT_TRUE(doc.AddElem("empty"));
    EXPECT_EQ(doc.ToText(),
              "<root>\r\n<group>\r\n<item t=\"a&lt;b&gt;&amp;&quot;c&quot;&#13;&#10;&#9;宋&apos;\"/>\r\n"
              "</group>\r\n<empty/>\r\n</root>\r\n");

    CXmlDocument back;
    ASSERT_TRUE(back.LoadFromString(doc.ToText()));
    back.FindElem();
    back.IntoElem();
    back.FindElem("group");
    back.FindChildElem();
    EXPECT_EQ(back.GetChildAttrib("t"), "a<b>&\"c\"\r\n\t宋'");
}

TEST(XmlDocument, RejectsWhatIsNotADocument)
{
    const std::string bad[] = {
        "", "<a>", "not xml", std::string("\0\1\2", 3), "<a></b>",
        // What pugixml alone lets through.
        "<a/><b/>", "<a/>text", "text<a/>", "<a/><![CDATA[x]]>", "<a x='1' x='2'/>", "<a x='&nbsp;'/>",
        "<a>&nbsp;</a>", "<a x='a & b'/>", "<a>a & b</a>", "<a x='<'/>", "<a x='&#0;'/>", "<a x='&#xD800;'/>",
        "<a x='&#x110000;'/>", "<a x='&#;'/>", "<a x='&#x;'/>", "<a x='&#1a;'/>", std::string("<a/>\0<b/>", 9),
        "<a/><?xml version='1.0'?>",
    };
    for (const std::string& text : bad) {
        CXmlDocument doc;
        EXPECT_FALSE(doc.LoadFromString(text)) << text;
        EXPECT_FALSE(doc.FindElem());
    }
    CXmlDocument doc;
    EXPECT_FALSE(doc.Load("/nonexistent/file.xml"));
}

TEST(XmlDocument, DecodesEveryReferenceOfAWellFormedDocument)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<?xml version='1.0'?>\n<!-- before --><root><x v='&lt;&gt;&amp;&apos;&quot;' "
                                   "c='&#65;&#x42;&#x5B8B;&#x1F600;&#10;' raw='a\tb'>&amp;<![CDATA[&raw;]]></x></root>"
                                   "<!-- after --><?pi after?>\n"));
    ASSERT_TRUE(doc.FindElem());
    ASSERT_TRUE(doc.FindChildElem("x"));
    EXPECT_EQ(doc.GetChildAttrib("v"), "<>&'\"");
    EXPECT_EQ(doc.GetChildAttrib("c"), "AB宋\U0001F600\n");
    EXPECT_EQ(doc.GetChildAttrib("raw"), "a b");  // a literal tab in a value reads as a space
}
