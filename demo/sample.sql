-- Sample data for the demo: a few items of the stand-in suite.
DELETE FROM items;
INSERT INTO items(FileId, FileName, FileComment, FileCurrentPath, FileType) VALUES
  (1, 'Quarterly report', 'Numbers for the third quarter, as sent to the board.', 'C:\Quillbox Demo\Quarterly report.txt', 'File'),
  (2, 'Suite homepage', '', 'http://127.0.0.1/suite/index.html', 'Web'),
  (3, 'Contract draft', 'From legal, second revision', 'C:\Quillbox Demo\Contract draft.doc', 'File');
INSERT INTO settings(Name, Value) VALUES('StateConnection', '1')
  ON CONFLICT(Name) DO UPDATE SET Value = excluded.Value;
