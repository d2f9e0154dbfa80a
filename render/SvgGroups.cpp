#include "render/SvgGroups.h"

#include <cctype>
#include <set>

namespace {

std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            out += (static_cast<unsigned char>(c) < 0x20 && c != '\t') ? ' ' : c;
        }
    }
    return out;
}

// An XML id made of the name's letters, digits, '-', '.' and '_', starting
// with a letter or '_', unique among those handed out.
std::string xmlId(const std::string& name, std::set<std::string>& taken)
{
    std::string id;
    for (char c : name)
        id += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_') ? c : '_';
    if (id.empty() || !(std::isalpha(static_cast<unsigned char>(id[0])) || id[0] == '_'))
        id = "_" + id;
    std::string unique = id;
    for (int n = 2; taken.count(unique); ++n)
        unique = id + "-" + std::to_string(n);
    taken.insert(unique);
    return unique;
}

// Where the element that starts at `from` ends (one past its last '>'), for
// the elements cairo writes: no '>' inside attribute values, no comments.
size_t elementEnd(const std::string& svg, size_t from)
{
    int depth = 0;
    size_t at = from;
    while (at < svg.size()) {
        const size_t open = svg.find('<', at);
        if (open == std::string::npos)
            return std::string::npos;
        const size_t close = svg.find('>', open);
        if (close == std::string::npos)
            return std::string::npos;
        if (svg[open + 1] == '/')
            --depth;
        else if (svg[close - 1] != '/')
            ++depth;
        at = close + 1;
        if (depth == 0)
            return at;
    }
    return std::string::npos;
}

} // namespace

bool nameSvgGroups(std::string& svg, const std::vector<SvgGroup>& plan, std::string& reason)
{
    const size_t defsEnd = svg.find("</defs>");
    const size_t page = svg.find("<g id=\"surface", defsEnd == std::string::npos ? 0 : defsEnd);
    const size_t bodyStart = page == std::string::npos ? page : svg.find('>', page);
    if (bodyStart == std::string::npos) {
        reason = "the drawing has no page";
        return false;
    }
    std::vector<std::pair<size_t, size_t>> elements;
    size_t at = bodyStart + 1;
    size_t bodyEnd = std::string::npos;
    while (at < svg.size()) {
        const size_t next = svg.find('<', at);
        if (next == std::string::npos)
            break;
        if (svg.compare(next, 2, "</") == 0) {
            bodyEnd = next;
            break;
        }
        const size_t end = elementEnd(svg, next);
        if (end == std::string::npos)
            break;
        elements.push_back({next, end});
        at = end;
    }
    size_t expected = 0;
    for (const SvgGroup& g : plan)
        expected += g.fills;
    if (bodyEnd == std::string::npos || elements.size() != expected) {
        reason = "the drawing has " + std::to_string(elements.size()) + " shapes where " +
                 std::to_string(expected) + " were drawn";
        return false;
    }

    std::string out = svg.substr(0, bodyStart + 1) + "\n";
    std::set<std::string> taken;
    size_t e = 0;
    for (const SvgGroup& g : plan) {
        if (!g.name.empty())
            out += "<g id=\"" + xmlId(g.name, taken) + "\">\n<title>" + xmlEscaped(g.name) + "</title>\n";
        for (size_t i = 0; i < g.fills; ++i, ++e)
            out += svg.substr(elements[e].first, elements[e].second - elements[e].first) + "\n";
        if (!g.name.empty())
            out += "</g>\n";
    }
    out += svg.substr(bodyEnd);
    svg.swap(out);
    return true;
}
