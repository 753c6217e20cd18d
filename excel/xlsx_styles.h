// Which cell formats of an .xlsx workbook show numbers as dates or times:
// styles.xml lists the custom number formats (<numFmts>) and the cell
// formats (<cellXfs>), each naming a number format by id; a cell names its
// cell format by index (s="3").
#pragma once

#include "excel/date_text.h"
#include "excel/package.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace korvanta::excel::detail {

class XfDateStyles {
public:
    DateStyle Of(std::size_t xf) const { return xf < styles_.size() ? styles_[xf] : DateStyle::None; }
    void Add(DateStyle style) { styles_.push_back(style); }

private:
    std::vector<DateStyle> styles_;
};

class XfStylesHandler final : public XmlHandler {
public:
    explicit XfStylesHandler(XfDateStyles& styles) : styles_(styles) {}
    void Start(std::string_view name, const char** attributes) override;
    void End(std::string_view name) override;

private:
    XfDateStyles& styles_;
    std::map<unsigned, DateStyle> custom_; // custom number formats by id
    bool inCellXfs_ = false;
    std::size_t count_ = 0;
};

} // namespace korvanta::excel::detail
