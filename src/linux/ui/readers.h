#pragma once

class QWidget;

// What a screen reader is told about the windows' controls.

// The widget is there for the eye only (a painted ground, a frame, half of a word another
// widget already names): readers are told it is not there, so they neither stop at it nor
// speak it twice.
void showOnlyToSight(QWidget* widget);

// The control is named as its hint (tool tip) reads: a picture button's only words.
void nameAfterHint(QWidget* control);
