-- The default settings file: the four tables, no saved settings yet, and the actions in the
-- order the action list shows them (a saved action is a position in this order).
CREATE TABLE setting (period TEXT, Type INTEGER, Action INTEGER, active TEXT, Status TEXT, run TEXT);
CREATE TABLE tmpsetting (run TEXT, Status TEXT, period INTEGER, Type INTEGER, Action INTEGER, active TEXT);
CREATE TABLE programs (programName TEXT NOT NULL);
CREATE TABLE actions (Cname TEXT NOT NULL, Command TEXT NOT NULL DEFAULT '');
INSERT INTO actions (Cname, Command) VALUES
    ('Shut Down', 'dormivo-power shutdown'),
    ('Restart', 'dormivo-power restart'),
    ('Log Off', 'dormivo-power logoff'),
    ('Stand By', 'dormivo-power standby'),
    ('Hibernate', 'dormivo-power hibernate'),
    ('Lauch Program', '');
