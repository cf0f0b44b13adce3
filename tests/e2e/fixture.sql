-- Items the end-to-end tests work on.
DELETE FROM items;
INSERT INTO items(FileId, FileName, FileComment, FileCurrentPath, FileType) VALUES
  (1, 'Quarterly report', 'Numbers for Q3', 'C:\qbtest\report.txt', 'File'),
  (2, 'Suite homepage', '', 'http://127.0.0.1/suite/index.html', 'Web'),
  (3, 'Contract draft', 'From legal', 'C:\qbtest\contract.doc', 'File');
INSERT INTO settings(Name, Value) VALUES('StateConnection', '1')
  ON CONFLICT(Name) DO UPDATE SET Value = excluded.Value;
