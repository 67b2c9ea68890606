#pragma once

class DiagnosticLog;
class SettingsStore;

// The interval the poll timer starts with, and keeps when the setting is unusable.
inline constexpr int kDefaultPollInterval = 2000;

// The poll timer's interval in milliseconds from the AYAR row "Sistem" / "Server calisma
// araligi (x snde bir)", a whole number of seconds. A missing row is inserted with "2". A row
// that cannot be read, or whose value is no whole number, is negative or too long for the
// timer, gives the default interval: a forced log line says why and the row is set to "2".
// Only a failure of that repair reaches the caller.
int ReadPollInterval(SettingsStore& settings, DiagnosticLog& log);
