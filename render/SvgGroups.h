#pragma once
// Naming the groups of an SVG drawing that cairo wrote.
#include <cstddef>
#include <string>
#include <vector>

// One group of the drawing: how many of the page's elements, in order, it
// holds.
struct SvgGroup {
    std::string name; // empty: not wrapped in a group
    size_t fills = 0;
};

// cairo writes every fill of a page as one element of the page's group, in
// order, but has no way to name a group of them. This wraps the page's
// elements, group by group as the plan counts them, in a <g> with the
// group's name as id (made a unique XML id) and title. False with a reason
// when the page holds another number of elements than the plan.
bool nameSvgGroups(std::string& svg, const std::vector<SvgGroup>& plan, std::string& reason);
