#include "deduction/SelectPagesParserDelegate.h"

#include "foundation/StringHelpers.h"

bool SelectPagesParserDelegate::isPagesSelect(const HyperAttributes &attributes)
{
    // The sites mark their page selectors in these ways; a chapter selector
    // carries none of them.
    const QStringView onchange = attributes.view("onchange");
    if (!onchange.isNull() && contains(onchange.toString(), QStringLiteral("change_page")))
        return true;
    if (onchange == u"jsPage('goto',this.value,'.html')")
        return true;
    const QStringView name = attributes.view("name");
    if (!name.isNull() && name == u"pageMenu")
        return true;
    return !onchange.isNull() && onchange == u"change_page(this)";
}

void SelectPagesParserDelegate::didStartElement(HyperParser &, QStringView name,
                                                const HyperAttributes &attributes)
{
    if (!processedPagesSelect_) {
        if (!foundPagesSelect_ && name == u"select" && pages_.isEmpty()) {
            if (isPagesSelect(attributes))
                foundPagesSelect_ = true;
            return;
        }
        if (foundPagesSelect_ && name == u"option") {
            const QStringView value = attributes.view("value");
            if (!value.isNull())
                pages_.append(value.toString());
            return;
        }
    }
    if (!foundMatureContentSection_) {
        if (name == u"div" && attributes.view("class") == u"wrong")
            foundMatureContentSection_ = true;
        return;
    }
    if (name == u"p")
        foundMatureContentParagraph_ = true;
}

void SelectPagesParserDelegate::didEndElement(HyperParser &, QStringView name)
{
    if (foundPagesSelect_ && name == u"select") {
        foundPagesSelect_ = false;
        processedPagesSelect_ = true;
    }
}

void SelectPagesParserDelegate::foundCharacters(HyperParser &, QStringView text)
{
    if (!foundMatureContentParagraph_)
        return;
    // Only the paragraph's first text run carries the notice.
    if (contains(text.toString(), QStringLiteral("The manga is regarded as 'mature'")))
        isMatureContent_ = true;
    foundMatureContentParagraph_ = false;
}
