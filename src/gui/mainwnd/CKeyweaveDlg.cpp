#include "gui/mainwnd/CKeyweaveDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <future>
#include <vector>

#include "core/app/DetachedProgram.h"
#include "core/app/InstanceMutex.h"
#include "core/app/KeyViewTable.h"
#include "core/config/FactoryKeyTable.h"
#include "core/config/ProfileFile.h"
#include "core/device/ApplyPath.h"
#include "core/skin/SkinKeys.h"
#include "gui/app/QtFileChooser.h"
#include "gui/mainwnd/CAboutDlg.h"
#include "gui/mainwnd/CTrayIcon.h"
#include "gui/mainwnd/KeyboardView.h"
#include "gui/mainwnd/LightingPanelControls.h"
#include "gui/skin/CPngButton.h"
#include "gui/skin/SkinPictures.h"

namespace brindle {

namespace {

constexpr int kBusyPicture = 1177;
constexpr int kVersionButton = 1134;
constexpr int kFirstProfileMenuItem = 9000;
constexpr int kLastProfileMenuItem = 9200;

// The vendor pages behind the link and the three web buttons.
const char* const kDefaultLink = "https://keyweave.example/brindle";
const char* const kWebPages[] = {"https://keyweave.example/", "https://keyweave.example/social",
                                 "https://keyweave.example/news"};

// The file dialogs of Import and Backup.
const FileChoice kProfileFileChoice{"kwv", "*.kwv", "(*.kwv)|*.kwv|(*.*)|*.*||"};

// Window buttons in their layout order, with the skin key each is placed by.
struct WindowButton {
    const char* skinKey;
    int id;
};
const WindowButton kWindowButtons[] = {
    {"VELKAR_LINK", ids::kLink},
    {"FUNC_PROFILES", ids::kProfileManager},
    {"FUNC_MACRO", ids::kMacroEditor},
    {"CONTROL_OK", ids::kOk},
    {"CONTROL_CANCEL", ids::kCancel},
    {"CONTROL_HELP", ids::kHelp},
    {"CONTROL_CLOSE", ids::kClose},
    {"CONTROL_MINIMIZE", ids::kMinimize},
    {"CONTROL_MENU", ids::kButtonMenu},
    {"CONTROL2_APPLY", ids::kApply},
    {"LOCK_CAPS", 1125},
    {"LOCK_NUM", 1126},
    {"LOCK_SCROLL", 1127},
    {"LOCK_AB", 1128},
    {"FLIP_0", 1129},
    {"FLIP_1", 1130},
    {"FLIP_2", 1131},
    {"VELKAR_VER", kVersionButton},
    {"FUNC_PROFILE1", 1135},
    {"FUNC_PROFILE2", 1136},
    {"FUNC_PROFILE3", 1137},
    {"FUNC_DEFAULT", ids::kDefaultProfile},
    {"FUNC_SWITCH", ids::kModeSwitch},
    {"FUNC_REPORT1", 1147},
    {"FUNC_REPORT2", 1168},
    {"FUNC_REPORT3", 1169},
    {"FUNC_REPORT4", 1170},
    {"KEY_FN", ids::kFn},
};

// Captions of the language message, by control.
struct Caption {
    int id;
    const char16_t* key;
};
const Caption kCaptions[] = {
    {1135, u"IDS_MAIN_PROFILE1"},
    {1136, u"IDS_MAIN_PROFILE2"},
    {1137, u"IDS_MAIN_PROFILE3"},
    {ids::kMacroEditor, u"IDS_MAIN_MACRO"},
    {ids::kDefaultProfile, u"IDS_MAIN_DEFAULT"},
    {ids::kOk, u"IDS_MAIN_OK"},
    {ids::kCancel, u"IDS_MAIN_Cancel"},
    {ids::kApply, u"IDS_MAIN_Apply"},
};

// Menu texts by command, for the tray menu and the button menu.
std::u16string_view MenuTextKey(int command, bool trayMenu) {
    switch (command) {
    case ids::kTrayOpen:
        return u"IDS_POP_UP_MENU_OPEN";
    case ids::kAbout:
        return trayMenu ? u"IDS_POP_UP_MENU_ABOUT" : u"IDS_BUTTON_MENU_ABOUT";
    case ids::kTrayExit:
        return u"IDS_POP_UP_MENU_EXIT";
    case ids::kTrayStop:
        return u"IDS_POP_UP_MENU_STOP";
    case ids::kImport:
        return u"IDS_BUTTON_MENU_IMPORT";
    case ids::kExport:
        return u"IDS_BUTTON_MENU_EXPORT";
    case ids::kHide:
        return u"IDS_BUTTON_MENU_HIDE";
    default:
        return {};
    }
}

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace

CKeyweaveDlg::CKeyweaveDlg(MainWindowSetup setup, QWidget* parent)
    : CBaseDialog(102, parent, QString::fromStdString(setup.paths.mainSkinFile),
                  QString::fromStdString(setup.paths.skinFolder)),
      setup_(std::move(setup)), gui_(this) {
    if (!setup_.exitProcess)
        setup_.exitProcess = [](int code) { std::exit(code); };
    if (!setup_.openDocument)
        setup_.openDocument = [](const std::string& target) { return OpenWithDesktop(target); };
    if (setup_.files == nullptr) {
        ownFiles_ = std::make_unique<QtFileChooser>(this);
        setup_.files = ownFiles_.get();
    }
    workerMessages_ = std::make_unique<GuiThreadMessages>(*setup_.messages, gui_);
    setObjectName(QStringLiteral("CKeyweaveDlg"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setWindowIcon(ProgramIcon(kTrayIconAbsent));

    for (size_t k = 0; k < kViewKeyCount; ++k)
        AddButton(KeyViewButton(k).controlId);
    for (size_t n = 0; n < kViewExtraKeyCount; ++n)
        AddButton(KeyViewExtraKeyId(n));
    for (const WindowButton& b : kWindowButtons)
        AddButton(b.id);
    for (int id : {KeyboardView::kArrowLeft, KeyboardView::kArrowRight, 1219, 1220, 1221})
        AddButton(id);
    for (int d = 0; d < 6; ++d)
        AddButton(KeyboardView::kFirstFlipKey + d);
    for (int id : {1208, 1209, 1210}) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(id));
        edit->hide();
        controls_[id] = edit;
    }
    busy_ = new QLabel(this);
    busy_->setObjectName(QString::number(kBusyPicture));
    busy_->hide();
    controls_[kBusyPicture] = busy_;

    view_ = std::make_unique<KeyboardView>(*this);
    tray_ = new CTrayIcon(this);
    if (setup_.trayAvailable)
        tray_->trayAvailable = setup_.trayAvailable;
    if (setup_.popupMenu)
        tray_->popup = setup_.popupMenu;
    connect(tray_, &CTrayIcon::command, this, [this](int id) { OnCommand(id); });

    busyTimer_.setInterval(kBusyTimerPeriodMs);
    connect(&busyTimer_, &QTimer::timeout, this, [this] { OnTimer(kBusyTimerId); });
    profileTimer_.setSingleShot(true);
    connect(&profileTimer_, &QTimer::timeout, this, [this] { OnTimer(kProfileTimerId); });
}

CKeyweaveDlg::~CKeyweaveDlg() {
    // Workers blocked in a send to this window give up now, so they can be waited for.
    gui_.Abandon();
    if (applyThread_.joinable())
        applyThread_.join();
    listener_.Stop();
    connection_.reset();
    events_.Close();
}

CPngButton* CKeyweaveDlg::AddButton(int controlId) {
    auto* button = new CPngButton(this);
    button->setObjectName(QString::number(controlId));
    connect(button, &QAbstractButton::clicked, this, [this, controlId] { OnCommand(controlId); });
    controls_[controlId] = button;
    return button;
}

CPngButton* CKeyweaveDlg::Button(int controlId) const {
    auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : qobject_cast<CPngButton*>(it->second);
}

QWidget* CKeyweaveDlg::Control(int controlId) const {
    auto it = controls_.find(controlId);
    if (it != controls_.end())
        return it->second;
    return lighting_ ? lighting_->Control(controlId) : nullptr;
}

CAboutDlg* CKeyweaveDlg::About() const {
    return about_.data();
}

TextLookup CKeyweaveDlg::Lookup() const {
    return setup_.language->Lookup(languageIndex_);
}

QIcon CKeyweaveDlg::ProgramIcon(int resourceId) const {
    const QString folder = QString::fromStdString(setup_.paths.programFolder) + "icons/";
    for (const char* suffix : {".svg", ".png"}) {
        const QString path = folder + QString::number(resourceId) + suffix;
        if (QFile::exists(path))
            return QIcon(path);
    }
    return QIcon::fromTheme(QStringLiteral("input-keyboard"));
}

int CKeyweaveDlg::ActivePage() {
    if (!protocol_ || !connection_ || connection_->LastKnownCount() <= 0)
        return 0;
    const int active = protocol_->GetActiveProfile();
    return active >= 0 && active <= 2 ? active : 0;
}

// ---- initialisation ---------------------------------------------------------------------------

bool CKeyweaveDlg::Initialise() {
    if (LoadSkin() != SkinResult::Loaded) {
        setup_.exitProcess(0);
        return false;
    }
    languageIndex_ = setup_.language->GetLanguageIndex();
    setup_.shared->mainWindow = reinterpret_cast<intptr_t>(this);
    setup_.shared->mainDialog = reinterpret_cast<intptr_t>(this);
    setup_.shared->currentProfile = -1;

    // Without the device service there is nothing this program can do.
    api_ = LoadHidServ(setup_.paths.programFolder);
    if (!api_ || api_->Init(0) <= 0) {
        setup_.exitProcess(0);
        return false;
    }
    protocol_ = std::make_unique<DeviceProtocol>(*api_, setup_.exchange);
    ConnectionHooks hooks;
    hooks.factoryTableRead = [](std::span<const uint8_t, kKeyTableSize> table) {
        DeviceKeyTable copy;
        std::copy(table.begin(), table.end(), copy.begin());
        FactoryKeyTable::Replace(copy);
    };
    hooks.messages = workerMessages_.get();
    hooks.lookUp = setup_.language->Lookup(languageIndex_);
    ConnectionSettings connectionSettings = setup_.connection;
    if (setup_.shared->autoShowDone.load())
        connectionSettings.startedHidden = true;
    connection_ =
        std::make_unique<DeviceConnection>(*protocol_, this, connectionSettings, std::move(hooks));
    keyboard_ = std::make_unique<DeviceKeyboardMemory>(
        *protocol_, [this] { return static_cast<size_t>(connection_->MacroCapacity()); });
    store_ = setup_.userFolder.empty() ? std::make_unique<ProfileStore>()
                                       : std::make_unique<ProfileStore>(setup_.userFolder);
    connection_->StartDeviceConnection();

    {
        std::lock_guard<std::mutex> guard(contexts_.live.lock);
        InstallDefaultImage(contexts_.live);
    }
    DisableApply();
    LoadMainPictures();
    link_ = QString::fromStdString(Layout().Link(kDefaultLink));
    view_->LayoutKeyButtons();
    LayoutWindowButtons();
    lighting_ = std::make_unique<LightingPanelControls>(*this);
    PlaceControl(busy_, "CONTROL_JDTStatic");
    for (int i = 0; i < 10; ++i)
        busyFrames_[i] = LoadSkinBitmap(SkinPath(QStringLiteral("jdt%1.bmp").arg(i + 1)));
    busy_->setPixmap(busyFrames_[0]);
    busy_->hide();

    // Mark the window for other copies of the program: from now on they reach it.
    if (!setup_.runtimeFolder.empty())
        listener_.Start(setup_.runtimeFolder, [this](const InstanceMessage& m) -> int64_t {
            // The wake-up may end in a message box (no keyboard); the starting copy is answered
            // at once instead of waiting until someone closes it, and the mailbox stays free for
            // a following /Kill.
            if (m.message == wm::kOpen) {
                PostMessage(m.message, m.wParam, m.lParam);
                return 0;
            }
            return SendMessage(m.message, m.wParam, m.lParam);
        });
    setWindowTitle(Q(Lookup()(u"IDS_MAIN_CAPTION")));
    events_.Create();
    setup_.shared->colourKeysMode = 0;
    view_->CaptionModeSwitch();
    PostMessage(wm::kInit, wcode::kInit, 0);
    SendMessage(wm::kLanguage, wcode::kLang, languageIndex_);
    ApplySkinLanguageTexts();
    return true;
}

void CKeyweaveDlg::LoadMainPictures() {
    // Each full-window picture is a surface of the client size plus 100 pixels each way with the
    // skin picture unscaled at its top-left corner, black where the file is missing or broken.
    // The seven files are decoded and composed on worker threads (painting on a QImage is
    // thread-safe), which is most of the start-up time; the second set of state pictures shares
    // the first one's pixels.
    const QSize surfaceSize = size() + QSize(100, 100);
    auto compose = [this, surfaceSize](const char* name) {
        QImage surface(surfaceSize, QImage::Format_RGB32);
        surface.fill(Qt::black);
        QImage picture(SkinPath(QString::fromLatin1(name)));
        if (picture.isNull())
            return surface;
        if (picture.hasAlphaChannel()) {
            QPainter painter(&surface);
            painter.drawImage(QPoint(0, 0), picture);
            return surface;
        }
        // An opaque picture is copied row by row: the same pixels as drawing it, many times
        // faster than a painter's format-converting draw.
        picture = std::move(picture).convertToFormat(QImage::Format_RGB32);
        const int rows = std::min(picture.height(), surface.height());
        const size_t bytes =
            static_cast<size_t>(std::min(picture.width(), surface.width())) * sizeof(QRgb);
        for (int y = 0; y < rows; ++y)
            std::memcpy(surface.scanLine(y), picture.constScanLine(y), bytes);
        return surface;
    };
    const char* const files[] = {"main_normal.jpg",  "main_over.jpg", "main_down.jpg",
                                 "main_disable.jpg", "Arrow.jpg",     "main_color0.jpg",
                                 "main_color1.jpg"};
    std::vector<std::future<QImage>> surfaces;
    for (const char* file : files)
        surfaces.push_back(std::async(std::launch::async, compose, file));
    QPixmap* targets[] = {&pictures_.normal,  &pictures_.over,  &pictures_.down,
                          &pictures_.disable, &pictures_.arrow, &pictures_.colour0,
                          &pictures_.colour1};
    for (size_t i = 0; i < surfaces.size(); ++i)
        *targets[i] = QPixmap::fromImage(surfaces[i].get());
    pictures_.normal2 = pictures_.normal;
    pictures_.over2 = pictures_.over;
    pictures_.down2 = pictures_.down;
    pictures_.disable2 = pictures_.disable;
}

void CKeyweaveDlg::LayoutWindowButtons() {
    const MainPictures& p = pictures_;
    const QColor text(0xE6, 0xE9, 0xEF), hot(0xFF, 0xFF, 0xFF), pressed(0x9F, 0xD0, 0xFF),
        disabled(0x6B, 0x72, 0x80);
    const TextLookup lookup = Lookup();
    for (const WindowButton& b : kWindowButtons) {
        CPngButton* button = Button(b.id);
        const bool lock = b.id >= 1125 && b.id <= 1127;
        if (lock)
            PlacePictureButton(button, b.skinKey, &p.normal, &p.normal, &p.normal, &p.normal,
                               &p.over);
        else
            PlacePictureButton(button, b.skinKey, &p.normal, &p.over, &p.down, &p.normal,
                               &p.disable);
        switch (b.id) {
        case ids::kLink:
            button->SetTooltip(link_, true);
            break;
        case ids::kProfileManager:
        case ids::kOk:
        case ids::kCancel:
        case ids::kApply:
            button->SetText(true, 10, QStringLiteral("Arial Unicode MS"), text, hot, pressed,
                            disabled);
            break;
        case ids::kHelp:
            button->SetTooltip(Q(lookup(u"IDS_MAIN_HELP_PROMPT")), true);
            break;
        case ids::kClose:
            button->SetTooltip(Q(lookup(u"IDS_MAIN_CLOSE_PROMPT")), true);
            break;
        case ids::kMinimize:
            button->SetTooltip(Q(lookup(u"IDS_MAIN_MINIMIZE_PROMPT")), true);
            break;
        case ids::kButtonMenu:
            button->SetTooltip(Q(lookup(u"IDS_MAIN_MENU_PROMPT")), true);
            break;
        case 1131:
            view_->ApplyFlip();
            break;
        case kVersionButton:
            button->setEnabled(false);
            button->SetText(true, 8, QStringLiteral("Verdana"), text, hot, pressed, disabled);
            button->setText(QString());
            break;
        case 1135:
        case 1136:
        case 1137:
        case ids::kDefaultProfile:
        case ids::kModeSwitch:
        case ids::kMacroEditor:
            button->SetText(true, 8, QStringLiteral("Arial Unicode MS"), text, hot, pressed,
                            disabled);
            break;
        default:
            break;
        }
    }
    PlaceControl(Control(1208), "COLOR_R");
    PlaceControl(Control(1209), "COLOR_G");
    PlaceControl(Control(1210), "COLOR_B");
    // The arrows are placed when their flip button paints; the web buttons draw themselves.
    Button(KeyboardView::kArrowLeft)->hide();
    Button(KeyboardView::kArrowRight)->hide();
    const char* webKeys[] = {"CONTROL_Network", "CONTROL_Facebook", "CONTROL_twitter"};
    for (int i = 0; i < 3; ++i) {
        CPngButton* web = Button(1219 + i);
        SkinRect r = PlaceControl(web, webKeys[i]);
        web->setVisible(!r.IsParked());
    }
}

void CKeyweaveDlg::ApplySkinLanguageTexts() {
    const SkinLanguageTexts texts = setup_.language->ReadSkinLanguageTexts();
    slots_.Set(TextSlot::MinimizePrompt, texts.minimizePrompt);
    slots_.Set(TextSlot::MenuPrompt, texts.menuPrompt);
    slots_.Set(TextSlot::ClosePrompt, texts.closePrompt);
    Button(ids::kMinimize)->SetTooltip(Q(texts.minimizePrompt), true);
    Button(ids::kButtonMenu)->SetTooltip(Q(texts.menuPrompt), true);
    Button(ids::kClose)->SetTooltip(Q(texts.closePrompt), true);
}

// ---- the port of the device connection ---------------------------------------------------------

intptr_t CKeyweaveDlg::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return gui_.Send([=, this] { return HandleMessage(message, wParam, lParam); });
}

void CKeyweaveDlg::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    gui_.Post([=, this] { HandleMessage(message, wParam, lParam); });
}

void CKeyweaveDlg::SetTimer(int id, int periodMs) {
    gui_.Post([=, this] {
        if (id == kBusyTimerId)
            busyTimer_.start(periodMs > 0 ? periodMs : kBusyTimerPeriodMs);
        else if (id == kProfileTimerId)
            profileTimer_.start(periodMs);
    });
}

void CKeyweaveDlg::KillTimer(int id) {
    gui_.Post([=, this] {
        if (id == kBusyTimerId)
            busyTimer_.stop();
        else if (id == kProfileTimerId)
            profileTimer_.stop();
    });
}

void CKeyweaveDlg::Hide() {
    gui_.Post([this] { hide(); });
}

void CKeyweaveDlg::SetTrayIcon(int resourceId) {
    gui_.Post([this, resourceId] {
        if (ended_ || resourceId == trayIconShown_)
            return;
        trayIconShown_ = resourceId;
        tray_->SetIcon(ProgramIcon(resourceId));
    });
}

void CKeyweaveDlg::DisableApply() {
    applyPending_ = false;
    gui_.Post([this] {
        if (CPngButton* apply = Button(ids::kApply))
            apply->setEnabled(applyPending_.load());
    });
}

void CKeyweaveDlg::EnableApply() {
    applyPending_ = true;
    if (CPngButton* apply = Button(ids::kApply))
        apply->setEnabled(true);
}

void CKeyweaveDlg::ShowBusyIndicator() {
    gui_.Post([this] {
        busyFrame_ = 0;
        busy_->setPixmap(busyFrames_[0]);
        busy_->show();
        busy_->raise();
    });
}

void CKeyweaveDlg::HideBusyIndicator() {
    gui_.Post([this] { busy_->hide(); });
}

bool CKeyweaveDlg::BusyVisible() const {
    return busy_->isVisibleTo(const_cast<CKeyweaveDlg*>(this));
}

// ---- messages, commands, timers ----------------------------------------------------------------

intptr_t CKeyweaveDlg::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (ended_)
        return 0;
    switch (message) {
    case wm::kInit:
        if (wParam == wcode::kInit)
            OnInit();
        return 0;
    case wm::kOpen:
        if (wParam == wcode::kOpen)
            RunOrDefer([this] { ShowRequest(); });
        return 0;
    case wm::kKill:
        if (wParam == wcode::kKill)
            RunOrDefer([this] { ExitSequence(); });
        return 0;
    case wm::kProfileLoaded:
        if (wParam == wcode::kProf)
            RunOrDefer([this] { OnProfileLoaded(); });
        return 0;
    case wm::kKeyboardRemoved:
        if (wParam == 0)
            OnKeyboardRemoved();
        return 0;
    case wm::kBankSwitched:
        if (wParam == wcode::kDel)
            view_->OnBankChanged();
        return 0;
    case wm::kLanguage:
        if (wParam == wcode::kLang)
            OnLanguage(static_cast<int>(lParam));
        return 0;
    case wm::kTimeChange:
        ApplySequence();
        return 0;
    case wm::kSliderMoved:
        // The lighting sliders write the keyboard; the lighting panel's handlers come with it.
        return 0;
    default:
        return 0;
    }
}

bool CKeyweaveDlg::IsDeferred(int command) const {
    switch (command) {
    case ids::kCancel:
    case ids::kLink:
    case ids::kHelp:
    case ids::kMinimize:
    case ids::kAbout:
    case 1128:
    case 1129:
    case 1171:
    case 1219:
    case 1220:
    case 1221:
        return false;
    default:
        return applying_.load();
    }
}

void CKeyweaveDlg::RunOrDefer(std::function<void()> work) {
    if (applying_.load())
        deferred_.push_back(std::move(work));
    else
        work();
}

void CKeyweaveDlg::RunDeferred() {
    while (!deferred_.empty() && !applying_.load() && !ended_) {
        auto work = std::move(deferred_.front());
        deferred_.pop_front();
        work();
    }
}

void CKeyweaveDlg::OnCommand(int id) {
    if (ended_)
        return;
    if (IsDeferred(id)) {
        deferred_.push_back([this, id] { OnCommand(id); });
        return;
    }
    if (view_->IsViewCommand(id)) {
        // The lighting switch, which sends key clicks to the per-key colours, is off until the
        // lighting panel takes over its handlers.
        view_->OnKeyClick(id);
        return;
    }
    for (int n = 0; n < 3; ++n)
        if (id == KeyboardView::kProfileButtons[n])
            return view_->OnProfileButton(n);
    for (int n = 0; n < 4; ++n)
        if (id == KeyboardView::kReportRateButtons[n])
            return view_->OnReportRate(n);
    if (id >= kFirstProfileMenuItem && id <= kLastProfileMenuItem)
        return; // the profile menu comes with the profile manager
    switch (id) {
    case ids::kOk:
        ApplySequence();
        RunOrDefer([this] { hide(); });
        break;
    case ids::kCancel:
        hide();
        break;
    case ids::kApply:
        ApplySequence();
        break;
    case ids::kMacroEditor:
        view_->OnKeyClick(1143);
        break;
    case ids::kLink:
        setup_.openDocument(link_.toStdString());
        break;
    case ids::kHelp:
        OpenHelp();
        break;
    case ids::kMinimize:
        showMinimized();
        break;
    case ids::kClose:
    case ids::kTrayExit:
    case ids::kHide:
        ExitSequence();
        break;
    case KeyboardView::kFlipLeft:
    case KeyboardView::kFlipRight:
        view_->OnFlip();
        break;
    case ids::kDefaultProfile:
        view_->OnDefaultProfile();
        break;
    case ids::kButtonMenu:
        ShowButtonMenu();
        break;
    case ids::kModeSwitch:
        view_->OnModeSwitch();
        break;
    case 1219:
    case 1220:
    case 1221:
        setup_.openDocument(kWebPages[id - 1219]);
        break;
    case ids::kTrayOpen:
        ShowRequest();
        break;
    case ids::kAbout:
        OpenAbout();
        break;
    case ids::kImport:
        ImportProfileFile();
        break;
    case ids::kExport:
        BackupProfileFile();
        break;
    default:
        // 1005 profile manager, 1009 profile menu, 1174 Fn (lighting switch off), 32775 and the
        // indicators: nothing yet or nothing at all.
        break;
    }
}

void CKeyweaveDlg::OnTimer(int id) {
    if (ended_)
        return;
    if (id == kBusyTimerId)
        AnimateBusy();
    else if (id == kProfileTimerId)
        RunOrDefer([this] { OnProfileTimer(); });
}

void CKeyweaveDlg::AnimateBusy() {
    busyFrame_ = (busyFrame_ + 1) % 10;
    busy_->setPixmap(busyFrames_[busyFrame_]);
}

void CKeyweaveDlg::OnProfileTimer() {
    profileTimer_.stop();
    if (!protocol_)
        return;
    uint8_t settings[kSettingsBlockSize] = {};
    if (protocol_->ReadSettingsBlock(settings) != 1)
        return;
    const int active = settings[10];
    if (active < 0 || active > 2)
        return;
    if (active == protocol_->ShownProfile()) {
        uint8_t block[kReportPayloadSize] = {};
        if (protocol_->ReadLightingArea(block, 42, active * 42) == 1)
            view_->SelectReportRate(block[15] > 3 ? 3 : block[15]);
        return;
    }
    view_->OnProfileButton(active);
    // The buttons and keys follow the keyboard even when the cached profile already knew it.
    view_->MarkProfileButtons(active);
    view_->RefreshKeyButtons();
    view_->RefreshLightFlags();
}

void CKeyweaveDlg::OnInit() {
    if (tray_->Create(this, wm::kTrayCallback, Q(Lookup()(u"IDS_KEYBOARD_TRAY_DESC")), windowIcon(),
                      ids::kTrayIconId,
                      {{ids::kTrayOpen, QStringLiteral("Open")},
                       {ids::kAbout, QStringLiteral("About")},
                       {ids::kTrayExit, QStringLiteral("Exit")}})) {
        tray_->SetSingleClickCommand(ids::kProfileMenu);
        tray_->SetMenuCallback([this](QMenu& menu) { SetMenuTexts(menu); });
    }
    trayIconShown_ = kTrayIconAbsent;
    initialised_ = true;
    hide();
}

void CKeyweaveDlg::SetMenuTexts(QMenu& menu) {
    const TextLookup lookup = Lookup();
    const bool trayMenu = menu.objectName() != QStringLiteral("144");
    for (QAction* action : menu.actions()) {
        std::u16string_view key = MenuTextKey(action->data().toInt(), trayMenu);
        if (!key.empty())
            action->setText(Q(lookup(key)));
    }
}

void CKeyweaveDlg::ShowButtonMenu() {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("144"));
    for (int command : {ids::kImport, ids::kExport})
        menu.addAction(QString())->setData(command);
    SetMenuTexts(menu);
    int chosen = 0;
    if (setup_.popupMenu) {
        chosen = setup_.popupMenu(menu);
    } else {
        QAction* action = menu.exec(QCursor::pos());
        chosen = action ? action->data().toInt() : 0;
    }
    if (chosen)
        OnCommand(chosen);
}

void CKeyweaveDlg::OnProfileLoaded() {
    if (!protocol_ || !keyboard_)
        return;
    const std::u16string prefix = Lookup()(u"IDS_MACRO_NEW_PREFIX");
    ReloadFromKeyboard(contexts_.live, *keyboard_, *store_, FactoryKeyTable::Current(), prefix);
    DisableApply();
    const int active = protocol_->GetActiveProfile();
    view_->MarkProfileButtons(active);
    view_->RefreshKeyButtons();
    view_->RefreshLightFlags();
    uint8_t block[kReportPayloadSize] = {};
    const int shown = protocol_->ShownProfile();
    if (protocol_->ReadLightingArea(block, 42, shown * 42) == 1)
        view_->SelectReportRate(block[15] > 3 ? 3 : block[15]);
}

void CKeyweaveDlg::OnKeyboardRemoved() {
    if (about_)
        about_->close();
    // The profile manager and the key assignment close here as if cancelled, once they exist.
    hide();
}

void CKeyweaveDlg::OnLanguage(int index) {
    if (index < 0 || index > 9)
        index = 0;
    languageIndex_ = index;
    const TextLookup lookup = setup_.language->Lookup(index);
    if (about_)
        about_->ApplyLanguage(lookup);
    for (const Caption& c : kCaptions)
        if (CPngButton* button = Button(c.id))
            button->setText(Q(lookup(c.key)));
    if (lighting_)
        lighting_->ApplyLanguage(lookup);
    tray_->SetTooltip(Q(lookup(u"IDS_KEYBOARD_TRAY_DESC")));
}

// ---- showing, applying, ending ------------------------------------------------------------------

void CKeyweaveDlg::ShowRequest() {
    if (!connection_ || connection_->LastKnownCount() <= 0) {
        setup_.messages->ShowInfo(slots_.Resolve(TextSlot::NoKeyboard, Lookup()));
        return;
    }
    // A taskbar entry while shown; the tray alone while hidden.
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    showNormal();
    raise();
    activateWindow();
}

void CKeyweaveDlg::ApplySequence() {
    if (!keyboard_ || !store_ || ended_)
        return;
    if (applying_.exchange(true)) {
        deferred_.push_back([this] { ApplySequence(); });
        return;
    }
    StartKeyboardWrite([](ApplyPath& path) { RunApply(path); });
}

void CKeyweaveDlg::StartKeyboardWrite(std::function<void(ApplyPath&)> write) {
    if (applyThread_.joinable())
        applyThread_.join();
    applyThread_ = std::thread([this, write = std::move(write)] {
        ApplyPath path{contexts_,
                       *keyboard_,
                       *store_,
                       *this,
                       [this](int message) { connection_->PostBusyMessage(message); },
                       setup_.language->Lookup(languageIndex_),
                       workerMessages_.get(),
                       [] { return FactoryKeyTable::Current(); },
                       setup_.busyShowDelay};
        write(path);
        gui_.Post([this] {
            applying_ = false;
            if (applyThread_.joinable())
                applyThread_.join();
            if (CPngButton* apply = Button(ids::kApply))
                apply->setEnabled(applyPending_.load());
            emit applyFinished();
            RunDeferred();
        });
    });
}

void CKeyweaveDlg::ImportProfileFile() {
    if (!keyboard_ || !store_ || ended_)
        return;
    const std::string path = setup_.files->ChooseFileToOpen(kProfileFileChoice);
    if (path.empty())
        return;
    // A write may have started while the dialog was open; the import waits for it.
    RunOrDefer([this, path] {
        if (ended_)
            return;
        const TextLookup lookup = Lookup();
        // A broken header shows the wrong-format message here, before the prompt.
        if (ValidateProfileFile(path, setup_.messages) != kProfileValid) {
            setup_.messages->ShowInfo(lookup(u"IDS_MAIN_PROMPT_INPORT"));
            return;
        }
        bool loaded = false;
        {
            ConfigContext& live = contexts_.live;
            std::lock_guard<std::mutex> guard(live.lock);
            // Kept to put back if the file cannot be read after all (changed since the check).
            const std::vector<uint8_t> previous =
                live.image ? EncodeProfileFile(live) : std::vector<uint8_t>{};
            ReleaseContents(live);
            loaded = LoadProfileFile(path, live) == 1;
            if (!loaded && !previous.empty())
                DecodeProfileFile(previous, live);
        }
        if (!loaded) {
            setup_.messages->ShowInfo(lookup(u"IDS_MAIN_PROMPT_INPORT"));
            return;
        }
        view_->RefreshKeyButtons();
        view_->RefreshLightFlags();
        // The snapshot and the keyboard write run on the worker; until the keyboard holds the
        // file, Apply stays on so the user can write it again.
        applying_ = true;
        StartKeyboardWrite([this](ApplyPath& apply) {
            if (RunImportWrite(apply) == 1)
                DisableApply();
            else
                applyPending_ = true;
        });
    });
}

void CKeyweaveDlg::BackupProfileFile() {
    if (ended_)
        return;
    const std::string path = setup_.files->ChooseFileToSave(kProfileFileChoice);
    if (path.empty())
        return;
    RunOrDefer([this, path] {
        if (ended_)
            return;
        if (!SaveProfileFile(contexts_.live, path, true))
            setup_.messages->ShowInfo(Lookup()(u"MAIN_UPDATE_BACKUP_NG"));
    });
}

void CKeyweaveDlg::ExitSequence() {
    if (ended_)
        return;
    hide();
    if (about_)
        about_->close();
    if (setup_.instanceMutex)
        setup_.instanceMutex->Close();
    events_.Close();
    tray_->Delete();
    trayIconShown_ = 0;
    DisableApply();
    {
        std::lock_guard<std::mutex> guard(contexts_.live.lock);
        ReleaseContents(contexts_.live);
    }
    {
        std::lock_guard<std::mutex> guard(contexts_.working.lock);
        ReleaseContents(contexts_.working);
    }
    ended_ = true;
    deferred_.clear();
    emit ended();
}

void CKeyweaveDlg::OpenHelp() {
    const std::string page = setup_.paths.helpFolder + "index.html";
    setup_.openDocument(QUrl::fromLocalFile(QString::fromStdString(page)).toString().toStdString());
}

void CKeyweaveDlg::OpenAbout() {
    if (about_)
        return; // one About box at a time
    about_ = new CAboutDlg(this, link_, [this] { OpenHelp(); });
    about_->ApplyLanguage(Lookup());
    about_->show();
}

void CKeyweaveDlg::keyPressEvent(QKeyEvent* event) {
    // Neither Enter nor Escape closes the window.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    case Qt::Key_F1:
        OpenHelp();
        return;
    default:
        CBaseDialog::keyPressEvent(event);
    }
}

void CKeyweaveDlg::closeEvent(QCloseEvent* event) {
    // The desktop's close goes to the tray, like Cancel; Close and Exit end the program.
    event->ignore();
    if (!ended_)
        hide();
}

} // namespace brindle
