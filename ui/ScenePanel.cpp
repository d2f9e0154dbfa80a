#include "ui/ScenePanel.h"

#include "app/InputState.h"
#include "app/Platform.h"
#include "scene/MeshInstance.h"
#include "scene/Scene.h"
#include "ui/MessageLog.h"

#include <imgui.h>
#include <imgui_stdlib.h>
#include <backends/imgui_impl_opengl3.h>

#include <algorithm>
#include <cctype>

namespace {

// Keys the panel's fields use, by their ImGui role; the window reports them
// with GLFW's codes, which io.KeysDown is indexed by.
const std::pair<ImGuiKey, int> keyRoles[] = {
    {ImGuiKey_Tab, GLFW_KEY_TAB},         {ImGuiKey_LeftArrow, GLFW_KEY_LEFT},
    {ImGuiKey_RightArrow, GLFW_KEY_RIGHT}, {ImGuiKey_UpArrow, GLFW_KEY_UP},
    {ImGuiKey_DownArrow, GLFW_KEY_DOWN},  {ImGuiKey_PageUp, GLFW_KEY_PAGE_UP},
    {ImGuiKey_PageDown, GLFW_KEY_PAGE_DOWN}, {ImGuiKey_Home, GLFW_KEY_HOME},
    {ImGuiKey_End, GLFW_KEY_END},         {ImGuiKey_Insert, GLFW_KEY_INSERT},
    {ImGuiKey_Delete, GLFW_KEY_DELETE},   {ImGuiKey_Backspace, GLFW_KEY_BACKSPACE},
    {ImGuiKey_Space, GLFW_KEY_SPACE},     {ImGuiKey_Enter, GLFW_KEY_ENTER},
    {ImGuiKey_Escape, GLFW_KEY_ESCAPE},   {ImGuiKey_KeyPadEnter, GLFW_KEY_KP_ENTER},
    {ImGuiKey_A, GLFW_KEY_A},             {ImGuiKey_C, GLFW_KEY_C},
    {ImGuiKey_V, GLFW_KEY_V},             {ImGuiKey_X, GLFW_KEY_X},
    {ImGuiKey_Y, GLFW_KEY_Y},             {ImGuiKey_Z, GLFW_KEY_Z},
};

bool containsIgnoringCase(const std::string& text, const std::string& part)
{
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return it != text.end();
}

std::string parentFolder(const std::string& folder)
{
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/')
        f.pop_back();
    if (f == "." || f.empty())
        return "..";
    const size_t slash = f.find_last_of('/');
    const std::string last = slash == std::string::npos ? f : f.substr(slash + 1);
    if (last == "..")
        return f + "/..";
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : f.substr(0, slash);
}

} // namespace

ScenePanel::ScenePanel(PanelModel m, const MessageLog* log, const std::string& fontPath)
    : model(m), messages(log)
{
    IMGUI_CHECKVERSION();
    context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    // Nothing is written beside the user's files.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.BackendPlatformName = "torv";
    for (const auto& role : keyRoles)
        io.KeyMap[role.first] = role.second;
    if (!fontPath.empty() && !io.Fonts->AddFontFromFileTTF(fontPath.c_str(), 14.0f))
        io.Fonts->AddFontDefault();
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 0;
    style.WindowBorderSize = 1;
    style.ItemSpacing.y = 3;
    style.Colors[ImGuiCol_WindowBg].w = 0.97f;
    ImGui_ImplOpenGL3_Init("#version 330 core");
}

ScenePanel::~ScenePanel()
{
    ImGui::SetCurrentContext(context);
    ImGui_ImplOpenGL3_Shutdown();
    ImGui::DestroyContext(context);
}

void ScenePanel::addCharacter(unsigned int character)
{
    typed.push_back(character);
}

bool ScenePanel::wantsPointer() const
{
    return shown && laidOut && ImGui::GetIO().WantCaptureMouse;
}

bool ScenePanel::wantsKeys() const
{
    const ImGuiIO& io = ImGui::GetIO();
    return shown && laidOut && (io.WantCaptureKeyboard || io.WantCaptureMouse);
}

bool ScenePanel::typing() const
{
    return shown && laidOut && ImGui::GetIO().WantTextInput;
}

bool ScenePanel::editing() const
{
    return shown && laidOut && ImGui::IsAnyItemActive();
}

void ScenePanel::newFrame(Platform& platform, const InputState& input, double dt, const PanelStatus& status)
{
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    if (!shown) {
        typed.clear();
        laidOut = false;
        return;
    }
    int w = 0, h = 0, fw = 0, fh = 0;
    platform.windowSize(w, h);
    platform.framebufferSize(fw, fh);
    io.DisplaySize = ImVec2(float(w), float(h));
    if (w > 0 && h > 0)
        io.DisplayFramebufferScale = ImVec2(float(fw) / float(w), float(fh) / float(h));
    io.DeltaTime = dt > 0 ? float(dt) : 1.0f / 60.0f;

    int mx = 0, my = 0;
    platform.mousePos(mx, my);
    io.MousePos = ImVec2(float(mx), float(my));
    for (int b = 0; b < 3; ++b)
        io.MouseDown[b] = input.mouseDown[b];
    io.MouseWheel = float(platform.mouseWheel());
    // Keys reach the panel only while they are routed to it (the pointer is
    // over it or a field takes typing); else a focused panel would take Tab
    // to step through its fields while the viewer opens its console.
    const bool keysToPanel = laidOut && (io.WantCaptureKeyboard || io.WantCaptureMouse);
    for (bool& down : io.KeysDown)
        down = false;
    if (keysToPanel)
        for (const auto& role : keyRoles)
            io.KeysDown[role.second] = platform.keyDown(role.second);
    io.KeyCtrl = platform.keyDown(GLFW_KEY_LEFT_CONTROL) || platform.keyDown(GLFW_KEY_RIGHT_CONTROL);
    io.KeyShift = platform.keyDown(GLFW_KEY_LEFT_SHIFT) || platform.keyDown(GLFW_KEY_RIGHT_SHIFT);
    io.KeyAlt = platform.keyDown(GLFW_KEY_LEFT_ALT) || platform.keyDown(GLFW_KEY_RIGHT_ALT);
    io.KeySuper = platform.keyDown(GLFW_KEY_LEFT_SUPER) || platform.keyDown(GLFW_KEY_RIGHT_SUPER);
    if (keysToPanel)
        for (unsigned int c : typed)
            io.AddInputCharacter(c);
    typed.clear();

    ImGui_ImplOpenGL3_NewFrame();
    ImGui::NewFrame();
    layout(status);
    ImGui::Render();
    laidOut = true;

    std::vector<std::function<void()>> run;
    run.swap(pending);
    for (auto& action : run)
        action();
}

void ScenePanel::draw()
{
    if (!shown || !laidOut)
        return;
    ImGui::SetCurrentContext(context);
    if (ImDrawData* data = ImGui::GetDrawData())
        ImGui_ImplOpenGL3_RenderDrawData(data);
}

void ScenePanel::layout(const PanelStatus& status)
{
    const ImGuiIO& io = ImGui::GetIO();
    const float panelWidth = std::min(width, io.DisplaySize.x);
    ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x - panelWidth, 0));
    ImGui::SetNextWindowSize(ImVec2(panelWidth, io.DisplaySize.y));
    ImGui::Begin("Scene  (F1 hides)", nullptr,
                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                     ImGuiWindowFlags_NoSavedSettings);

    // The sections scroll; the progress and status lines stay at the foot.
    const float lineHeight = ImGui::GetFrameHeightWithSpacing();
    const float foot = lineHeight * (progressLine.empty() ? 1.2f : 2.4f);
    ImGui::BeginChild("sections", ImVec2(0, -foot));
    objectsSection();
    settingsSection();
    fileSection();
    messagesSection();
    keysSection();
    ImGui::EndChild();

    ImGui::Separator();
    if (!progressLine.empty()) {
        ImGui::TextUnformatted(progressLine.c_str());
        if (cancel) {
            ImGui::SameLine();
            if (ImGui::SmallButton("cancel"))
                later(cancel);
        }
    }
    const std::string statusText = statusLine(status);
    ImGui::TextUnformatted(statusText.c_str());
    ImGui::End();
}

void ScenePanel::objectsSection()
{
    ImGui::SetNextItemOpen(true, ImGuiCond_Once);
    if (!ImGui::CollapsingHeader("Objects"))
        return;
    ImGui::SetNextItemWidth(-1);
    ImGui::InputTextWithHint("##find", "find by name", &filter);

    const std::vector<PanelRow> rows = buildPanelRows(model.scene, model.loader);
    if (rows.empty()) {
        ImGui::TextDisabled("nothing placed: open a model below");
        return;
    }
    const ImGuiTableFlags tableFlags = ImGuiTableFlags_ScrollY | ImGuiTableFlags_RowBg |
                                       ImGuiTableFlags_BordersInnerV | ImGuiTableFlags_SizingFixedFit;
    size_t shownRows = 0;
    for (const PanelRow& row : rows)
        shownRows += filter.empty() || row.depth == 0 || containsIgnoringCase(row.label, filter);
    const float height =
        std::min(ImGui::GetFrameHeightWithSpacing() * (float(shownRows) + 1.0f) + 4.0f, 300.0f);
    if (!ImGui::BeginTable("tree", 5, tableFlags, ImVec2(0, height)))
        return;
    ImGui::TableSetupScrollFreeze(0, 1);
    ImGui::TableSetupColumn("object", ImGuiTableColumnFlags_WidthStretch);
    ImGui::TableSetupColumn("show");
    ImGui::TableSetupColumn("cuts");
    ImGui::TableSetupColumn("is cut");
    ImGui::TableSetupColumn("angle", ImGuiTableColumnFlags_WidthFixed, 52.0f);
    ImGui::TableHeadersRow();

    std::vector<const MeshInstance*> selectedNow;
    bool fileOpen = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        const PanelRow& row = rows[i];
        const bool fileRow = row.depth == 0;
        const bool hasParts = fileRow && i + 1 < rows.size() && rows[i + 1].depth == 1;
        if (!fileRow && !fileOpen)
            continue;
        if (!filter.empty() && !hasParts && !containsIgnoringCase(row.label, filter))
            continue;

        ImGui::PushID(int(i));
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        // Rows are laid out flat (a table row each), so no node pushes onto
        // the id stack; parts are indented by hand.
        ImGuiTreeNodeFlags flags = ImGuiTreeNodeFlags_SpanFullWidth | ImGuiTreeNodeFlags_OpenOnArrow |
                                   ImGuiTreeNodeFlags_NoTreePushOnOpen;
        if (row.selected)
            flags |= ImGuiTreeNodeFlags_Selected;
        if (!hasParts)
            flags |= ImGuiTreeNodeFlags_Leaf;
        if (hasParts)
            ImGui::SetNextItemOpen(true, ImGuiCond_Once);
        if (row.hidden)
            ImGui::PushStyleColor(ImGuiCol_Text, ImGui::GetStyle().Colors[ImGuiCol_TextDisabled]);
        if (row.depth > 0)
            ImGui::Indent();
        const bool open = ImGui::TreeNodeEx(row.label.c_str(), flags);
        if (row.depth > 0)
            ImGui::Unindent();
        if (row.hidden)
            ImGui::PopStyleColor();
        if (row.selected && row.objects.size() == 1) {
            selectedNow.push_back(row.objects.front());
            if (!rowClicked &&
                std::find(lastSelected.begin(), lastSelected.end(), row.objects.front()) == lastSelected.end())
                ImGui::SetScrollHereY(0.5f);
        }
        if (ImGui::IsItemHovered() && !row.name.empty() && row.name != row.label)
            ImGui::SetTooltip("%s", row.name.c_str());
        if (ImGui::IsItemHovered() && ImGui::IsMouseDoubleClicked(0))
            later([this, row] {
                model.doubleClickRow(row);
                rowClicked = true;
            });
        else if (ImGui::IsItemClicked(0) && !ImGui::IsItemToggledOpen())
            later([this, row, add = ImGui::GetIO().KeyShift] {
                model.clickRow(row, add);
                rowClicked = true;
            });
        if (hasParts)
            fileOpen = open;

        bool visible = !row.hidden;
        ImGui::TableSetColumnIndex(1);
        if (ImGui::Checkbox("##show", &visible))
            later([this, row, visible] { model.setVisible(row, visible); });
        MeshInstance* first = row.objects.empty() ? nullptr : row.objects.front();
        bool canCut = first && first->canCut, canBeCut = first && first->canBeCut;
        ImGui::TableSetColumnIndex(2);
        if (ImGui::Checkbox("##cuts", &canCut))
            later([this, row, canCut] { model.setCanCut(row, canCut); });
        ImGui::TableSetColumnIndex(3);
        if (ImGui::Checkbox("##iscut", &canBeCut))
            later([this, row, canBeCut] { model.setCanBeCut(row, canBeCut); });
        ImGui::TableSetColumnIndex(4);
        float angle = first ? first->localAngle : -1.0f;
        ImGui::SetNextItemWidth(-1);
        if (ImGui::DragFloat("##angle", &angle, 0.5f, -1.0f, 90.0f, angle < 0 ? "global" : "%.0f"))
            later([this, row, angle] { model.setOwnAngle(row, angle); });
        if (ImGui::IsItemHovered())
            ImGui::SetTooltip("own cut angle; drag below 0 for the scene's");
        ImGui::PopID();
    }
    ImGui::EndTable();
    lastSelected = std::move(selectedNow);
    rowClicked = false;
}

void ScenePanel::settingsSection()
{
    ImGui::SetNextItemOpen(true, ImGuiCond_Once);
    if (!ImGui::CollapsingHeader("Settings"))
        return;
    Scene& s = model.scene;
    ImGui::PushItemWidth(150);
    float angle = s.globalAngle;
    if (ImGui::SliderFloat("cut angle", &angle, 0.0f, 90.0f, "%.0f"))
        later([this, angle] { model.setGlobalAngle(angle); });
    int lineMode = static_cast<int>(s.lineMode);
    const char* lineNames[] = {"on", "ghost", "off"};
    if (ImGui::Combo("lines", &lineMode, lineNames, 3))
        later([this, lineMode] { model.setLineMode(lineMode); });
    float ghost = s.ghostMultiplier;
    if (ImGui::SliderFloat("ghost reach", &ghost, 0.0f, 4.0f, "%.2f"))
        later([this, ghost] { model.setGhostReach(ghost); });
    ImGui::PopItemWidth();
    bool edge = s.edgeMode, dir = s.directionalLight, edit = s.editMode;
    if (ImGui::Checkbox("edge", &edge))
        later([this, edge] { model.setEdgeMode(edge); });
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("off: a steeper cone that hugs the cutter's outline");
    ImGui::SameLine();
    if (ImGui::Checkbox("dir", &dir))
        later([this, dir] { model.setDirectional(dir); });
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("on: the hole has a fixed size in the world; off: on screen");
    ImGui::SameLine();
    if (ImGui::Checkbox("edit", &edit))
        later([this, edit] { model.setEditMode(edit); });
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("gizmo handles on the selection");
}

void ScenePanel::fileSection()
{
    if (!ImGui::CollapsingHeader("File"))
        return;
    if (listedFolder != folder) {
        listedFolder = folder;
        folderReadable = listFolder(folder, entries);
    }
    ImGui::TextWrapped("folder: %s", folder.c_str());
    ImGui::BeginChild("chooser", ImVec2(0, 150), true);
    if (ImGui::Selectable("[..]"))
        later([this] { folder = parentFolder(folder); });
    if (!folderReadable)
        ImGui::TextDisabled("cannot read this folder");
    for (const FolderEntry& e : entries) {
        const std::string label = e.folder ? "[" + e.name + "]" : e.name;
        if (ImGui::Selectable(label.c_str(), !e.folder && e.name == fileName,
                              ImGuiSelectableFlags_AllowDoubleClick)) {
            if (e.folder)
                later([this, name = e.name] { folder = joinPath(folder, name); });
            else
                fileName = e.name;
        }
    }
    ImGui::EndChild();
    if (ImGui::SmallButton("refresh"))
        listedFolder.clear();
    ImGui::SetNextItemWidth(-1);
    ImGui::InputTextWithHint("##name", "file name", &fileName);

    const std::string path = joinPath(folder, fileName);
    const bool named = !fileName.empty();
    if (!named)
        ImGui::BeginDisabled();
    if (ImGui::Button("open as parts"))
        later([this, path] { model.actions.openModel(path, true); });
    ImGui::SameLine();
    if (ImGui::Button("open whole"))
        later([this, path] { model.actions.openModel(path, false); });
    ImGui::SameLine();
    if (ImGui::Button("open scene"))
        later([this, path] { model.actions.openScene(path); });
    if (ImGui::Button("save scene"))
        later([this, path] {
            model.actions.saveScene(withExtension(path, ".sce"));
            listedFolder.clear();
        });
    ImGui::SameLine();
    if (ImGui::Button("save screenshot"))
        later([this, path] {
            model.actions.saveScreenshot(withExtension(path, ".png"));
            listedFolder.clear();
        });
    if (!named)
        ImGui::EndDisabled();
}

void ScenePanel::messagesSection()
{
    ImGui::SetNextItemOpen(true, ImGuiCond_Once);
    if (!ImGui::CollapsingHeader("Messages"))
        return;
    ImGui::BeginChild("messages", ImVec2(0, 120), true, ImGuiWindowFlags_HorizontalScrollbar);
    if (messages)
        for (const std::string& line : messages->lines())
            ImGui::TextUnformatted(line.c_str());
    // New lines scroll into view; reading older ones is left alone otherwise.
    if (messages && messages->linesSeen() != messagesShown) {
        messagesShown = messages->linesSeen();
        ImGui::SetScrollHereY(1.0f);
    }
    ImGui::EndChild();
}

void ScenePanel::keysSection()
{
    if (!ImGui::CollapsingHeader("Keys"))
        return;
    if (!ImGui::BeginTable("keys", 2, ImGuiTableFlags_RowBg | ImGuiTableFlags_BordersInnerV))
        return;
    for (const KeyRow& k : keyTable()) {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ImGui::TextWrapped("%s", k.input);
        ImGui::TableSetColumnIndex(1);
        ImGui::TextWrapped("%s", k.effect);
    }
    ImGui::EndTable();
}
