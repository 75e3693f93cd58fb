// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <functional>

class QLabel;

// The About window: the program's name and full version, what it does, who
// made it, and two links (the web site and an e-mail to the maker). Any click
// inside it closes it; a click on a link first hands the address to the
// desktop. It blocks nothing and belongs to no other window.
//
// There is one About window in the program at a time. It is created on first
// reference and destroyed when it closes, so every opening builds it afresh
// and reads the version again.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // The open About window, created (not shown) when there is none.
    static Form2 *instance();
    // Whether an About window exists now; unlike instance(), never creates one.
    static bool isLoaded();

    // Closes the window and destroys it (deferred, so a handler of its own
    // may call this); from this moment instance() builds a new one.
    void Unload();

    // The address the web link opens, exactly as the link shows it.
    static QString webAddress();
    // What the e-mail link hands to the desktop: the maker's address with the
    // program's name and full version as the subject.
    static QString mailTarget();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Form2();
    ~Form2() override;

    void createControls();
    void createLines();
    void createLabels();
    void createLowerLabels();
    QLabel *makeLabel(const QString &name, const QColor &color, std::function<void()> onClick);
    void placeFixed(QLabel *label, int left, int top, int width, int height);
    void placeFitted(QLabel *label, int top);
    void Form_Load();
    void discard();

    void Form_Click();
    void Image1_Click();
    void Label1_Click();
    void Label2_Click();
    void Label3_Click();
    void Label4_Click(qint16 index);
    void Label5_Click();
    void Label6_Click(qint16 index);
    void Label7_Click();

    QWidget *m_client = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
};
