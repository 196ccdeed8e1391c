#include "app/dialog/SettingsDialog.h"

#include "app/ConfigProgram.h"
#include "app/dialog/PreviewPlayer.h"
#include "platform/LaunchProgram.h"
#include "platform/RegistryString.h"

#include <cstdio>
#include <cstdlib>
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <memory>

namespace tarnwood {

namespace {

constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 240;
// Choices often come in quick runs (clicking through the resolutions); the
// player restarts once they settle.
constexpr unsigned kRestartDelayMs = 250;
constexpr unsigned kPlayerCheckMs = 500;
constexpr int kPreviewFrameMicroseconds = 33000;

enum class ClockChoice { Hidden, Digital12, Digital24, Analogue };
enum class CalendarChoice { Hidden, Sunday, Monday };

ClockChoice ClockChoiceOf(const Settings& s)
{
    if (!s.showClock)
        return ClockChoice::Hidden;
    if (s.analogClock)
        return ClockChoice::Analogue;
    return s.clock24Hour ? ClockChoice::Digital24 : ClockChoice::Digital12;
}

// Only the fields that the choice decides change; the rest keep their bytes,
// so the saved file differs from the old one in exactly what was chosen.
void ApplyClockChoice(ClockChoice choice, Settings& s)
{
    switch (choice) {
    case ClockChoice::Hidden:
        s.showClock = 0;
        break;
    case ClockChoice::Digital12:
        s.showClock = 1;
        s.analogClock = 0;
        s.clock24Hour = 0;
        break;
    case ClockChoice::Digital24:
        s.showClock = 1;
        s.analogClock = 0;
        s.clock24Hour = 1;
        break;
    case ClockChoice::Analogue:
        s.showClock = 1;
        s.analogClock = 1;
        break;
    }
}

CalendarChoice CalendarChoiceOf(const Settings& s)
{
    if (!s.showCalendar)
        return CalendarChoice::Hidden;
    return s.calendarRus ? CalendarChoice::Monday : CalendarChoice::Sunday;
}

void ApplyCalendarChoice(CalendarChoice choice, Settings& s)
{
    switch (choice) {
    case CalendarChoice::Hidden:
        s.showCalendar = 0;
        break;
    case CalendarChoice::Sunday:
        s.showCalendar = 1;
        s.calendarRus = 0;
        break;
    case CalendarChoice::Monday:
        s.showCalendar = 1;
        s.calendarRus = 1;
        break;
    }
}

std::string ResolutionText(int index)
{
    if (index == 0)
        return "Desktop resolution";
    return std::to_string(kVideoModes[index].width) + " \u00d7 " + std::to_string(kVideoModes[index].height);
}

class Dialog {
public:
    Dialog(const SettingsLocations& locations, bool forAllUsers, std::ostream& err);
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs until OK has saved or the dialog is cancelled or closed.
    void Run();

private:
    GtkWidget* AddRadio(GtkWidget* box, GtkWidget* group, const char* label);
    GtkWidget* Heading(const char* text);
    void Build(bool forAllUsers);
    void ShowChoices();
    void ShowTarget();
    void ShowError(const std::string& text, GtkMessageType type);
    void HideError();
    void ChoiceChanged();
    void ScheduleRestart();
    void RestartPreview();
    bool Save();
    SettingsScope Scope() const;

    static void OnToggled(GtkToggleButton* button, gpointer self);
    static void OnResolution(GtkComboBox* combo, gpointer self);
    static void OnForAllUsers(GtkToggleButton* button, gpointer self);
    static void OnPreviewMapped(GtkWidget* widget, gpointer self);
    static gboolean OnDrawPreview(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean OnRestartDue(gpointer self);
    static gboolean OnCheckPlayer(gpointer self);
    static gboolean OnEndSignal(gpointer self);

    SettingsLocations locations;
    std::ostream& err;
    Settings settings;
    PreviewPlayer player;
    bool loading = false;
    bool previewReady = false;
    guint restartSource = 0;
    guint checkSource = 0;
    std::vector<guint> signalSources;

    GtkWidget* dialog = nullptr;
    GtkWidget* infoBar = nullptr;
    GtkWidget* infoLabel = nullptr;
    GtkWidget* preview = nullptr;
    GtkWidget* previewNote = nullptr;
    GtkWidget* clockNone = nullptr;
    GtkWidget* clock12 = nullptr;
    GtkWidget* clock24 = nullptr;
    GtkWidget* clockAnalogue = nullptr;
    GtkWidget* clockSmall = nullptr;
    GtkWidget* clockLarge = nullptr;
    GtkWidget* calendarNone = nullptr;
    GtkWidget* calendarSunday = nullptr;
    GtkWidget* calendarMonday = nullptr;
    GtkWidget* frameRate = nullptr;
    GtkWidget* endOnMouse = nullptr;
    GtkWidget* resolution = nullptr;
    GtkWidget* forAllUsersBox = nullptr;
    GtkWidget* targetLabel = nullptr;
};

Dialog::Dialog(const SettingsLocations& locations, bool forAllUsers, std::ostream& err) : locations(locations), err(err)
{
    const bool machine = forAllUsers && MachineSettingsWritable(locations);
    settings = StartingSettings(locations, machine ? SettingsScope::Machine : SettingsScope::User);
    Build(machine);
    ShowChoices();
    ShowTarget();
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        signalSources.push_back(g_unix_signal_add(number, OnEndSignal, this));
}

Dialog::~Dialog()
{
    if (restartSource != 0)
        g_source_remove(restartSource);
    if (checkSource != 0)
        g_source_remove(checkSource);
    for (guint source : signalSources)
        g_source_remove(source);
    // The player goes before its window does.
    player.Stop();
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();
}

GtkWidget* Dialog::AddRadio(GtkWidget* box, GtkWidget* group, const char* label)
{
    GtkWidget* radio = group == nullptr ? gtk_radio_button_new_with_mnemonic(nullptr, label)
                                        : gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(group), label);
    gtk_box_pack_start(GTK_BOX(box), radio, FALSE, FALSE, 0);
    g_signal_connect(radio, "toggled", G_CALLBACK(OnToggled), this);
    return radio;
}

GtkWidget* Dialog::Heading(const char* text)
{
    GtkWidget* label = gtk_label_new(nullptr);
    gchar* markup = g_markup_printf_escaped("<b>%s</b>", text);
    gtk_label_set_markup(GTK_LABEL(label), markup);
    g_free(markup);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    return label;
}

void Dialog::Build(bool forAllUsers)
{
    dialog = gtk_dialog_new_with_buttons("Tarnwood Settings", nullptr, GTK_DIALOG_MODAL, "_Cancel", GTK_RESPONSE_CANCEL,
                                         "_OK", GTK_RESPONSE_OK, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(content), 12);
    gtk_box_set_spacing(GTK_BOX(content), 12);

    infoBar = gtk_info_bar_new();
    infoLabel = gtk_label_new(nullptr);
    gtk_label_set_line_wrap(GTK_LABEL(infoLabel), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(infoLabel), 70);
    gtk_label_set_selectable(GTK_LABEL(infoLabel), TRUE);
    gtk_label_set_xalign(GTK_LABEL(infoLabel), 0.0f);
    gtk_container_add(GTK_CONTAINER(gtk_info_bar_get_content_area(GTK_INFO_BAR(infoBar))), infoLabel);
    gtk_box_pack_start(GTK_BOX(content), infoBar, FALSE, FALSE, 0);

    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
    gtk_box_pack_start(GTK_BOX(content), columns, TRUE, TRUE, 0);

    GtkWidget* left = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(columns), left, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(left), Heading("Preview"), FALSE, FALSE, 0);
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), GTK_SHADOW_IN);
    preview = gtk_drawing_area_new();
    gtk_widget_set_size_request(preview, kPreviewWidth, kPreviewHeight);
    gtk_container_add(GTK_CONTAINER(frame), preview);
    gtk_box_pack_start(GTK_BOX(left), frame, FALSE, FALSE, 0);
    g_signal_connect(preview, "draw", G_CALLBACK(OnDrawPreview), this);
    g_signal_connect_after(preview, "map", G_CALLBACK(OnPreviewMapped), this);
    previewNote = gtk_label_new("The screensaver as it will look with these choices.");
    gtk_label_set_xalign(GTK_LABEL(previewNote), 0.0f);
    gtk_label_set_line_wrap(GTK_LABEL(previewNote), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(previewNote), 40);
    gtk_style_context_add_class(gtk_widget_get_style_context(previewNote), GTK_STYLE_CLASS_DIM_LABEL);
    gtk_box_pack_start(GTK_BOX(left), previewNote, FALSE, FALSE, 0);

    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_start(GTK_BOX(columns), right, TRUE, TRUE, 0);

    gtk_box_pack_start(GTK_BOX(right), Heading("Clock"), FALSE, FALSE, 0);
    clockNone = AddRadio(right, nullptr, "_No clock");
    clock12 = AddRadio(right, clockNone, "Digital, _12-hour");
    clock24 = AddRadio(right, clockNone, "Digital, _24-hour");
    clockAnalogue = AddRadio(right, clockNone, "_Analogue, with hands");
    GtkWidget* sizeRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_box_pack_start(GTK_BOX(sizeRow), gtk_label_new("Size:"), FALSE, FALSE, 0);
    clockSmall = AddRadio(sizeRow, nullptr, "_Small");
    clockLarge = AddRadio(sizeRow, clockSmall, "_Large");
    gtk_box_pack_start(GTK_BOX(right), sizeRow, FALSE, FALSE, 0);

    GtkWidget* calendarHeading = Heading("Calendar");
    gtk_widget_set_margin_top(calendarHeading, 8);
    gtk_box_pack_start(GTK_BOX(right), calendarHeading, FALSE, FALSE, 0);
    calendarNone = AddRadio(right, nullptr, "No cal_endar");
    calendarSunday = AddRadio(right, calendarNone, "Weeks start on Sun_day");
    calendarMonday = AddRadio(right, calendarNone, "Weeks start on _Monday");

    GtkWidget* otherHeading = Heading("Screen");
    gtk_widget_set_margin_top(otherHeading, 8);
    gtk_box_pack_start(GTK_BOX(right), otherHeading, FALSE, FALSE, 0);
    frameRate = gtk_check_button_new_with_mnemonic("Show the _frame rate");
    gtk_box_pack_start(GTK_BOX(right), frameRate, FALSE, FALSE, 0);
    g_signal_connect(frameRate, "toggled", G_CALLBACK(OnToggled), this);
    endOnMouse = gtk_check_button_new_with_mnemonic("End when the mouse mo_ves");
    gtk_box_pack_start(GTK_BOX(right), endOnMouse, FALSE, FALSE, 0);
    g_signal_connect(endOnMouse, "toggled", G_CALLBACK(OnToggled), this);
    GtkWidget* resolutionRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    GtkWidget* resolutionLabel = gtk_label_new_with_mnemonic("Screen _resolution:");
    resolution = gtk_combo_box_text_new();
    for (int index = 0; index < kVideoModeCount; ++index)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(resolution), ResolutionText(index).c_str());
    gtk_label_set_mnemonic_widget(GTK_LABEL(resolutionLabel), resolution);
    gtk_box_pack_start(GTK_BOX(resolutionRow), resolutionLabel, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(resolutionRow), resolution, FALSE, FALSE, 0);
    gtk_widget_set_margin_top(resolutionRow, 4);
    gtk_box_pack_start(GTK_BOX(right), resolutionRow, FALSE, FALSE, 0);
    g_signal_connect(resolution, "changed", G_CALLBACK(OnResolution), this);

    GtkWidget* saving = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_end(GTK_BOX(content), saving, FALSE, FALSE, 0);
    if (MachineSettingsWritable(locations)) {
        forAllUsersBox = gtk_check_button_new_with_mnemonic("Save for all _users of this computer");
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(forAllUsersBox), forAllUsers);
        g_signal_connect(forAllUsersBox, "toggled", G_CALLBACK(OnForAllUsers), this);
        gtk_box_pack_start(GTK_BOX(saving), forAllUsersBox, FALSE, FALSE, 0);
    }
    targetLabel = gtk_label_new(nullptr);
    gtk_label_set_xalign(GTK_LABEL(targetLabel), 0.0f);
    gtk_label_set_line_wrap(GTK_LABEL(targetLabel), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(targetLabel), 80);
    gtk_style_context_add_class(gtk_widget_get_style_context(targetLabel), GTK_STYLE_CLASS_DIM_LABEL);
    gtk_box_pack_start(GTK_BOX(saving), targetLabel, FALSE, FALSE, 0);

    gtk_widget_show_all(content);
    gtk_widget_hide(infoBar);
}

SettingsScope Dialog::Scope() const
{
    const bool machine = forAllUsersBox != nullptr && gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(forAllUsersBox));
    return machine ? SettingsScope::Machine : SettingsScope::User;
}

void Dialog::ShowChoices()
{
    loading = true;
    GtkWidget* clockButtons[] = {clockNone, clock12, clock24, clockAnalogue};
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(clockButtons[static_cast<int>(ClockChoiceOf(settings))]), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(settings.largeClock ? clockLarge : clockSmall), TRUE);
    gtk_widget_set_sensitive(clockSmall, settings.showClock != 0);
    gtk_widget_set_sensitive(clockLarge, settings.showClock != 0);
    GtkWidget* calendarButtons[] = {calendarNone, calendarSunday, calendarMonday};
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(calendarButtons[static_cast<int>(CalendarChoiceOf(settings))]), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(frameRate), settings.showFrameRate != 0);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(endOnMouse), settings.exitOnMouseMove != 0);
    // A mode outside the table runs on the desktop's resolution, and is
    // kept as it is unless another resolution is chosen.
    const bool inTable = settings.displayMode >= 0 && settings.displayMode < kVideoModeCount;
    gtk_combo_box_set_active(GTK_COMBO_BOX(resolution), inTable ? settings.displayMode : 0);
    loading = false;
}

void Dialog::ShowTarget()
{
    std::string text;
    if (Scope() == SettingsScope::Machine) {
        text = "Saved for every user who has no settings of their own, in " + locations.machine + ".";
        if (locations.Effective() == locations.user)
            text += " Your own settings (" + locations.user + ") still apply to you.";
    } else {
        text = "Saved for you only, in " + locations.user + ".";
    }
    gtk_label_set_text(GTK_LABEL(targetLabel), text.c_str());
}

void Dialog::ShowError(const std::string& text, GtkMessageType type)
{
    gtk_info_bar_set_message_type(GTK_INFO_BAR(infoBar), type);
    gtk_label_set_text(GTK_LABEL(infoLabel), text.c_str());
    gtk_widget_show(infoBar);
}

void Dialog::HideError()
{
    gtk_widget_hide(infoBar);
}

void Dialog::OnToggled(GtkToggleButton* button, gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    if (d->loading)
        return;
    GtkWidget* widget = GTK_WIDGET(button);
    const bool active = gtk_toggle_button_get_active(button);
    Settings& s = d->settings;
    // A radio group toggles twice per choice; only the newly chosen one counts.
    if (widget == d->frameRate)
        s.showFrameRate = active ? 1 : 0;
    else if (widget == d->endOnMouse)
        s.exitOnMouseMove = active ? 1 : 0;
    else if (!active)
        return;
    else if (widget == d->clockNone)
        ApplyClockChoice(ClockChoice::Hidden, s);
    else if (widget == d->clock12)
        ApplyClockChoice(ClockChoice::Digital12, s);
    else if (widget == d->clock24)
        ApplyClockChoice(ClockChoice::Digital24, s);
    else if (widget == d->clockAnalogue)
        ApplyClockChoice(ClockChoice::Analogue, s);
    else if (widget == d->clockSmall)
        s.largeClock = 0;
    else if (widget == d->clockLarge)
        s.largeClock = 1;
    else if (widget == d->calendarNone)
        ApplyCalendarChoice(CalendarChoice::Hidden, s);
    else if (widget == d->calendarSunday)
        ApplyCalendarChoice(CalendarChoice::Sunday, s);
    else if (widget == d->calendarMonday)
        ApplyCalendarChoice(CalendarChoice::Monday, s);
    gtk_widget_set_sensitive(d->clockSmall, s.showClock != 0);
    gtk_widget_set_sensitive(d->clockLarge, s.showClock != 0);
    d->ChoiceChanged();
}

void Dialog::OnResolution(GtkComboBox* combo, gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    const int active = gtk_combo_box_get_active(combo);
    if (d->loading || active < 0)
        return;
    d->settings.displayMode = active;
    d->ChoiceChanged();
}

void Dialog::OnForAllUsers(GtkToggleButton*, gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    d->ShowTarget();
    d->HideError();
}

void Dialog::ChoiceChanged()
{
    ScheduleRestart();
}

void Dialog::ScheduleRestart()
{
    if (!previewReady)
        return;
    if (restartSource != 0)
        g_source_remove(restartSource);
    restartSource = g_timeout_add(kRestartDelayMs, OnRestartDue, this);
}

gboolean Dialog::OnRestartDue(gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    d->restartSource = 0;
    d->RestartPreview();
    return G_SOURCE_REMOVE;
}

void Dialog::OnPreviewMapped(GtkWidget*, gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    if (d->previewReady)
        return;
    d->previewReady = true;
    d->RestartPreview();
}

gboolean Dialog::OnDrawPreview(GtkWidget* widget, cairo_t* cr, gpointer self)
{
    // Black until the player's first frame, and wherever it has not drawn.
    auto* d = static_cast<Dialog*>(self);
    if (d->player.Pid() > 0)
        return TRUE;
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(widget), gtk_widget_get_allocated_height(widget));
    cairo_fill(cr);
    return TRUE;
}

void Dialog::RestartPreview()
{
    GdkWindow* window = gtk_widget_get_window(preview);
    if (window == nullptr)
        return;
    // The player draws into an X window of its own: the preview's own
    // window is made a real one for it.
    if (!gdk_window_ensure_native(window) || !GDK_IS_X11_WINDOW(window)) {
        ShowError("The preview cannot be shown on this display.", GTK_MESSAGE_WARNING);
        return;
    }
    const unsigned long xid = gdk_x11_window_get_xid(window);
    // The window must exist on the server before another program draws in it.
    gdk_display_sync(gtk_widget_get_display(preview));
    player.Stop();
    const std::string playerPath = InstallDirectory().Join(ProgramFileName("Tarnwood.exe"));
    std::string problem;
    if (!player.Start(PreviewCommand(playerPath, xid, settings), problem)) {
        ShowError("The preview could not be started: " + playerPath + ": " + problem + ".", GTK_MESSAGE_WARNING);
        gtk_widget_queue_draw(preview);
        return;
    }
    if (checkSource == 0)
        checkSource = g_timeout_add(kPlayerCheckMs, OnCheckPlayer, this);
}

gboolean Dialog::OnCheckPlayer(gpointer self)
{
    auto* d = static_cast<Dialog*>(self);
    std::string ended;
    if (d->player.Pid() <= 0 || d->player.Running(ended))
        return G_SOURCE_CONTINUE;
    d->ShowError("The preview stopped: the player " + ended + ".", GTK_MESSAGE_WARNING);
    gtk_widget_queue_draw(d->preview);
    return G_SOURCE_CONTINUE;
}

gboolean Dialog::OnEndSignal(gpointer self)
{
    // Ended from outside: close as Cancel would, so the player ends first.
    gtk_dialog_response(GTK_DIALOG(static_cast<Dialog*>(self)->dialog), GTK_RESPONSE_CANCEL);
    return G_SOURCE_CONTINUE;
}

bool Dialog::Save()
{
    const SettingsScope scope = Scope();
    const Settings chosen = settings;
    Settings written;
    WriteFailure failure;
    if (ChangeSettings(
            locations, scope, [&chosen](Settings& s) { s = chosen; }, written, failure))
        return true;
    const std::string text = DescribeWriteFailure(TargetFile(locations, scope), scope, failure);
    ShowError("C" + text.substr(1), GTK_MESSAGE_ERROR);
    // Also for the session's log, where the dialog may be long gone.
    err << "config: " << text << std::flush;
    return false;
}

void Dialog::Run()
{
    gtk_widget_show(dialog);
    for (;;) {
        const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
        if (response != GTK_RESPONSE_OK || Save())
            return;
    }
}

}

std::vector<std::string> PreviewCommand(const std::string& playerPath, unsigned long windowId, const Settings& settings)
{
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", windowId);
    const auto flag = [](const char* name, std::uint8_t value) {
        return std::string(name) + "=" + (value ? "on" : "off");
    };
    const bool inTable = settings.displayMode >= 0 && settings.displayMode < kVideoModeCount;
    std::vector<std::string> command = {playerPath, "--window-id", id, "--delay",
                                        std::to_string(kPreviewFrameMicroseconds)};
    for (const std::string& assignment :
         {flag("showFrameRate", settings.showFrameRate), flag("showClock", settings.showClock),
          flag("analogClock", settings.analogClock), flag("clock24Hour", settings.clock24Hour),
          flag("largeClock", settings.largeClock), flag("showCalendar", settings.showCalendar),
          flag("calendarRus", settings.calendarRus), flag("exitOnMouseMove", settings.exitOnMouseMove),
          "displayMode=" + std::to_string(inTable ? settings.displayMode : 0)}) {
        command.push_back("--set");
        command.push_back(assignment);
    }
    return command;
}

int RunSettingsDialog(const SettingsLocations& locations, bool forAllUsers, std::ostream& err)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return kNoDialog;
    // The preview needs X window ids, so the dialog is an X client even
    // under a Wayland session (through Xwayland).
    gdk_set_allowed_backends("x11");
    g_set_prgname("config");
    g_set_application_name("Tarnwood Settings");
    if (!gtk_init_check(nullptr, nullptr)) {
        err << "config: cannot open the X display " << display << " for the settings dialog.\n";
        return kNoDialog;
    }
    Dialog dialog(locations, forAllUsers, err);
    dialog.Run();
    return 0;
}

}
