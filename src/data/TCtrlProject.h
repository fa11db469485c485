#pragma once
// Loads a project file into a project and saves a project into its file.
// The file is JSON text written line by line with a fixed indentation, one
// command per line, every value as a string. Parameters that refer to other
// records (a configuration to execute, a command to jump to, the routes of
// automatic detection) are written as positions, which become the ids again
// when the file is loaded into a cleared project.

#include <QByteArray>
#include <QObject>
#include <QString>

class TDataPrj;

class TCtrlProject : public QObject
{
public:
    explicit TCtrlProject(QObject *parent = nullptr);
    ~TCtrlProject() override;

    // 0: loaded; 1: the file could not be read; 2: its text is not valid
    // JSON or not of a project's shape (nothing was added then). lastError
    // holds the reason for 1 and 2.
    int load(const QString &fileName, TDataPrj *project);
    // Writes the whole file or nothing: on any failure the previous file
    // stays as it was (Failed, the reason in lastError). Unless overwrite is
    // set, only over a file that holds what this copy last read or wrote of
    // it (the project's fileSeen, when it is of that file): one another copy
    // changed since is left as it stands (Changed), for the caller to ask.
    enum SaveResult { Saved, Failed, Changed };
    SaveResult save(const QString &fileName, TDataPrj *project, bool overwrite);
    // Written whatever the file holds now.
    bool save(const QString &fileName, TDataPrj *project) { return save(fileName, project, true) == Saved; }
    bool readFile(const QString &fileName, QByteArray &bytes);
    // Adds the configurations and commands of the text to the project: an
    // object whose "configurations" is an array of objects, each with the
    // texts "name" and "description" (either may be missing) and
    // "commands", an array of objects whose members are all texts. Other
    // members of the top level and of the configurations are kept as they
    // stand (fileExtra, TDataCfg::extra) for the save to write back. A text
    // of any other shape, or whose "version" is not 1, adds nothing and
    // fails saying where ("configuration 2, command 5, key \"count\": ...")
    // or which version it is.
    bool parseJson(const QByteArray &bytes, TDataPrj *project);
    // Appends the configuration "Config" with an empty description.
    void addDefaultConfig(TDataPrj *project);

    QString lastError() const;

    // Places within a project file, counted from 1.
    static constexpr int MSG_CONFIGURATION = 577;
    static constexpr int MSG_COMMAND = 578;

    // The text of the file save writes, with "\n" line ends.
    static QString projectText(TDataPrj *project);

private:
    Q_DISABLE_COPY(TCtrlProject)

    QString m_lastError;
};
