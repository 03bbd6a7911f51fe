#pragma once

#include <QString>

// Starting the program when the user logs in. The Linux implementation keeps an XDG
// autostart entry; tests use the fake.
class IAutostart {
public:
    virtual ~IAutostart() = default;
    // Whether the program is set to start at login right now.
    virtual bool IsEnabled() const = 0;
    // Both return whether the program now does (Enable) or does not (Disable) start at login;
    // disabling what is not enabled succeeds.
    virtual bool Enable() = 0;
    virtual bool Disable() = 0;
};

// The entry $XDG_CONFIG_HOME/autostart/zorvel.desktop, whose Exec line starts `program`.
class CXdgAutostart final : public IAutostart {
public:
    CXdgAutostart(QString configHome, QString program);
    // $XDG_CONFIG_HOME, else ~/.config.
    static QString DefaultConfigHome();

    QString EntryPath() const;
    bool IsEnabled() const override;
    bool Enable() override;
    bool Disable() override;

    // `path` as one Exec argument of a desktop entry: quoted where the format reserves a
    // character, with '%' doubled and the string-value escapes applied.
    static QString ExecArgument(const QString& path);

private:
    QString configHome_;
    QString program_;
};
