#pragma once
// Prompts for tests: records every message instead of showing it, and answers from a script.
#include "prompts.h"
#include <QStringList>
#include <deque>

class CRecordingPrompts final : public CPrompts {
public:
    struct Shown {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    CRecordingPrompts() { SetPrompts(this); }
    ~CRecordingPrompts() override { SetPrompts(nullptr); }
    CRecordingPrompts(const CRecordingPrompts&) = delete;
    CRecordingPrompts& operator=(const CRecordingPrompts&) = delete;

    Answer Message(QWidget*, const QString& text, Icon icon, Buttons buttons) override {
        m_shown.push_back({text, icon, buttons});
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (m_answers.empty())
            return Answer::No;
        Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    QString SaveFileName(QWidget*, const QString& filter, const QString& suggested) override {
        m_filters << filter;
        m_suggested << suggested;
        if (m_fileNames.empty())
            return {};
        QString name = m_fileNames.front();
        m_fileNames.pop_front();
        return name;
    }

    // Scripted answers, used in order.
    void AnswerNext(Answer a) { m_answers.push_back(a); }
    void ChooseFile(const QString& path) { m_fileNames.push_back(path); }

    const std::vector<Shown>& Messages() const { return m_shown; }
    QStringList Texts() const {
        QStringList out;
        for (const auto& s : m_shown)
            out << s.text;
        return out;
    }
    const QStringList& Filters() const { return m_filters; }
    const QStringList& Suggested() const { return m_suggested; }
    void Clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<Answer> m_answers;
    std::deque<QString> m_fileNames;
    QStringList m_filters;
    QStringList m_suggested;
};
