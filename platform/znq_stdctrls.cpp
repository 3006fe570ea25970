#include "znq_stdctrls.h"

#include "znq_application.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>

namespace znq {

TForm::TForm(QWidget* parent)
    : QWidget(parent)
{
    m_font.OnChange = [this](TObject*) { setFont(m_font.ToQFont()); };
    setFont(m_font.ToQFont());
    SetColor(m_color);
}

void TForm::SetColor(TColor color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, ColorToQColor(color));
    setPalette(p);
    setAutoFillBackground(true);
}

void TForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_position == TPosition::poScreenCenter && isWindow()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            const QRect frame = frameGeometry();
            move(area.x() + (area.width() - frame.width()) / 2,
                area.y() + (area.height() - frame.height()) / 2);
        }
    }
    if (OnShow)
        Guarded([this] { OnShow(this); });
}

TPanel::TPanel(QWidget* parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
}

TLabel::TLabel(QWidget* parent)
    : QLabel(parent)
{
}

TScrollBar::TScrollBar(QWidget* parent)
    : QScrollBar(Qt::Horizontal, parent)
{
    // A bar of a form is a tab stop and answers the arrow keys.
    setFocusPolicy(Qt::StrongFocus);
    setPageStep(0);
    QObject::connect(this, &QScrollBar::valueChanged, this, [this](int) {
        if (OnChange)
            Guarded([this] { OnChange(this); });
    });
}

// Qt's scroll bars invert their controls so that the wheel scrolls like a view; for the arrow keys
// of a horizontal bar that means Left moves the thumb right. Here Left moves it left.
void TScrollBar::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier
        && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        triggerAction(event->key() == Qt::Key_Left ? SliderSingleStepSub : SliderSingleStepAdd);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

TEdit::TEdit(QWidget* parent)
    : TCustomEdit(parent)
{
}

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , m_group(new QButtonGroup(this))
    , m_layout(new QGridLayout(this))
{
    // The classic group's narrow insets: a caption laid out for them fits its column (the style's
    // own gap between the round box and the caption is about twice as wide).
    m_layout->setContentsMargins(3, 2, 1, 2);
    m_layout->setSpacing(0);
    setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
    QObject::connect(
        m_group, &QButtonGroup::idClicked, this, [this](int id) { buttonClicked(id); });
}

void TRadioGroup::SetItems(const std::vector<std::string>& items)
{
    m_items = items;
    if (m_itemIndex >= static_cast<int>(m_items.size()))
        m_itemIndex = -1;
    rebuild();
}

void TRadioGroup::SetColumns(int columns)
{
    m_columns = std::clamp(columns, 1, 16);
    rebuild();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(m_items.size()) || index == m_itemIndex)
        return;
    m_itemIndex = index;
    if (index >= 0)
        m_group->button(index)->setChecked(true);
    else if (QAbstractButton* checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
    if (OnClick)
        Guarded([this] { OnClick(this); });
}

void TRadioGroup::buttonClicked(int index)
{
    if (index == m_itemIndex)
        return;
    m_itemIndex = index;
    if (OnClick)
        Guarded([this] { OnClick(this); });
}

void TRadioGroup::rebuild()
{
    for (QAbstractButton* button : m_group->buttons()) {
        m_group->removeButton(button);
        delete button;
    }
    const int count = static_cast<int>(m_items.size());
    const int rows = (count + m_columns - 1) / m_columns;
    for (int i = 0; i < count; ++i) {
        auto* button
            = new QRadioButton(QString::fromStdString(m_items[static_cast<size_t>(i)]), this);
        m_group->addButton(button, i);
        m_layout->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        button->setChecked(i == m_itemIndex);
    }
}

TMenuItem::TMenuItem(const std::string& name, const std::string& caption, QObject* parent)
    : QObject(parent)
    , m_action(new QAction(QString::fromStdString(caption), this))
{
    setObjectName(QString::fromStdString(name));
    QObject::connect(m_action, &QAction::triggered, this, [this] { Click(); });
}

void TMenuItem::Click()
{
    if (OnClick)
        Guarded([this] { OnClick(this); });
}

TPopupMenu::TPopupMenu(QWidget* parent)
    : QMenu(parent)
{
}

TMenuItem* TPopupMenu::Add(const std::string& name, const std::string& caption)
{
    auto* item = new TMenuItem(name, caption, this);
    addAction(item->Action());
    m_items.push_back(item);
    return item;
}

void TPopupMenu::AttachTo(QWidget* widget)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, this,
        [this, widget](const QPoint& position) { popup(widget->mapToGlobal(position)); });
}

} // namespace znq
