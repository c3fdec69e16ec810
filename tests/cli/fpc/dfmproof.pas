{ Writes Delphi binary form files with Free Pascal's own component streaming, and beside
  each one the text that Free Pascal's ObjectResourceToText makes of it.

  usage: dfmproof FORM.kvt OUTDIR
    OUTDIR/all-kinds.dfm   a form holding a property of every kind the streaming writes,
                           nested components, an inline component and a host component whose
                           binary property "KVTData" holds the bytes of FORM.kvt
    OUTDIR/inherited.dfm   a form written as the descendant of another: inherited components
                           and child positions
    and for each NAME.dfm its text as NAME.txt. }
program dfmproof;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils;

type
  TProbeStyle = (psBold, psItalic, psUnderline, psStrikeOut);
  TProbeStyles = set of TProbeStyle;
  TProbeAlign = (paLeft, paRight, paCenter);

  { A persistent with its own published properties, as a font is: written with dotted names. }
  TProbeFont = class(TPersistent)
  private
    FName: string;
    FHeight: Integer;
    FStyle: TProbeStyles;
    FColor: LongInt;
  published
    property Name: string read FName write FName;
    property Height: Integer read FHeight write FHeight;
    property Style: TProbeStyles read FStyle write FStyle;
    property Color: LongInt read FColor write FColor;
  end;

  TProbeItem = class(TCollectionItem)
  private
    FCaption: string;
    FWidth: Integer;
    FVisible: Boolean;
  published
    property Caption: string read FCaption write FCaption;
    property Width: Integer read FWidth write FWidth;
    property Visible: Boolean read FVisible write FVisible;
  end;

  { A component whose owned components are written as its children. }
  TProbeContainer = class(TComponent)
  protected
    procedure GetChildren(Proc: TGetChildProc; Root: TComponent); override;
  public
    procedure MakeInline;
  end;

  TProbeLabel = class(TProbeContainer)
  private
    FTiny: ShortInt;
    FByteValue: Byte;
    FSmall: SmallInt;
    FWordValue: Word;
    FLong: LongInt;
    FCard: Cardinal;
    FBig: Int64;
    FCaption: string;
    FLongText: string;
    FWide: WideString;
    FRatio: Double;
    FExact: Extended;
    FSingleValue: Single;
    FAmount: Currency;
    FWhen: TDateTime;
    FAlign: TProbeAlign;
    FEnabled: Boolean;
    FShown: Boolean;
    FOptions: TProbeStyles;
    FFont: TProbeFont;
    FColumns: TCollection;
    FLines: TStringList;
    FBuddy: TComponent;
    FOnClick: TNotifyEvent;
    procedure SetFont(Value: TProbeFont);
    procedure SetColumns(Value: TCollection);
    procedure SetLines(Value: TStringList);
    procedure ReadMatrix(Reader: TReader);
    procedure WriteMatrix(Writer: TWriter);
    procedure ReadWide(Reader: TReader);
    procedure WriteWide(Writer: TWriter);
  protected
    procedure DefineProperties(Filer: TFiler); override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    procedure Clicked(Sender: TObject);
  published
    property Tiny: ShortInt read FTiny write FTiny;
    property ByteValue: Byte read FByteValue write FByteValue;
    property Small: SmallInt read FSmall write FSmall;
    property WordValue: Word read FWordValue write FWordValue;
    property Long: LongInt read FLong write FLong;
    property Card: Cardinal read FCard write FCard;
    property Big: Int64 read FBig write FBig;
    property Caption: string read FCaption write FCaption;
    property LongText: string read FLongText write FLongText;
    property Ratio: Double read FRatio write FRatio;
    property Exact: Extended read FExact write FExact;
    property SingleValue: Single read FSingleValue write FSingleValue;
    property Amount: Currency read FAmount write FAmount;
    property When: TDateTime read FWhen write FWhen;
    property Align: TProbeAlign read FAlign write FAlign;
    property Enabled: Boolean read FEnabled write FEnabled;
    property Shown: Boolean read FShown write FShown;
    property Options: TProbeStyles read FOptions write FOptions;
    property Font: TProbeFont read FFont write SetFont;
    property Columns: TCollection read FColumns write SetColumns;
    property Lines: TStringList read FLines write SetLines;
    property Buddy: TComponent read FBuddy write FBuddy;
    property OnClick: TNotifyEvent read FOnClick write FOnClick;
  end;

  { Holds a form's bytes as the binary property "KVTData", as the run-time widget does. }
  TProbeImage = class(TComponent)
  private
    FData: TMemoryStream;
    FLeft: Integer;
    procedure ReadData(Stream: TStream);
    procedure WriteData(Stream: TStream);
  protected
    procedure DefineProperties(Filer: TFiler); override;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
  published
    property Left: Integer read FLeft write FLeft;
  end;

  TProbeForm = class(TProbeContainer)
  private
    FCaption: string;
    FClientWidth: Integer;
    FFont: TProbeFont;
    procedure SetFont(Value: TProbeFont);
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
  published
    property Caption: string read FCaption write FCaption;
    property ClientWidth: Integer read FClientWidth write FClientWidth;
    property Font: TProbeFont read FFont write SetFont;
  end;

procedure TProbeContainer.GetChildren(Proc: TGetChildProc; Root: TComponent);
var
  I: Integer;
begin
  for I := 0 to ComponentCount - 1 do
    Proc(Components[I]);
end;

procedure TProbeContainer.MakeInline;
begin
  SetInline(True);
end;

constructor TProbeLabel.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FFont := TProbeFont.Create;
  FColumns := TCollection.Create(TProbeItem);
  FLines := TStringList.Create;
end;

destructor TProbeLabel.Destroy;
begin
  FLines.Free;
  FColumns.Free;
  FFont.Free;
  inherited Destroy;
end;

procedure TProbeLabel.Clicked(Sender: TObject);
begin
end;

procedure TProbeLabel.SetFont(Value: TProbeFont);
begin
  FFont.Assign(Value);
end;

procedure TProbeLabel.SetColumns(Value: TCollection);
begin
  FColumns.Assign(Value);
end;

procedure TProbeLabel.SetLines(Value: TStringList);
begin
  FLines.Assign(Value);
end;

procedure TProbeLabel.ReadMatrix(Reader: TReader);
begin
end;

{ A list of lists, with values of the kinds only written by hand: nil, identifiers and an
  empty list. }
procedure TProbeLabel.WriteMatrix(Writer: TWriter);
begin
  Writer.WriteListBegin;
  Writer.WriteListBegin;
  Writer.WriteInteger(1);
  Writer.WriteInteger(-200);
  Writer.WriteIdent('clRed');
  Writer.WriteListEnd;
  Writer.WriteListBegin;
  Writer.WriteListEnd;
  Writer.WriteIdent('nil');
  Writer.WriteString('');
  Writer.WriteInteger(70000);
  Writer.WriteListEnd;
end;

{ A wide string property is written as a UnicodeString (type 21) here; the streaming writes
  type 18 only when asked to. }
procedure TProbeLabel.ReadWide(Reader: TReader);
begin
end;

procedure TProbeLabel.WriteWide(Writer: TWriter);
begin
  Writer.WriteWideString(FWide);
end;

procedure TProbeLabel.DefineProperties(Filer: TFiler);
begin
  inherited DefineProperties(Filer);
  Filer.DefineProperty('Wide', @ReadWide, @WriteWide, FWide <> '');
  Filer.DefineProperty('Matrix', @ReadMatrix, @WriteMatrix, True);
end;

constructor TProbeImage.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FData := TMemoryStream.Create;
end;

destructor TProbeImage.Destroy;
begin
  FData.Free;
  inherited Destroy;
end;

procedure TProbeImage.ReadData(Stream: TStream);
begin
  FData.LoadFromStream(Stream);
end;

procedure TProbeImage.WriteData(Stream: TStream);
begin
  FData.SaveToStream(Stream);
end;

procedure TProbeImage.DefineProperties(Filer: TFiler);
begin
  inherited DefineProperties(Filer);
  Filer.DefineBinaryProperty('KVTData', @ReadData, @WriteData, True);
end;

constructor TProbeForm.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FFont := TProbeFont.Create;
end;

destructor TProbeForm.Destroy;
begin
  FFont.Free;
  inherited Destroy;
end;

procedure TProbeForm.SetFont(Value: TProbeFont);
begin
  FFont.Assign(Value);
end;

procedure WriteText(const DfmFile, TextFile: string);
var
  Input, Output: TFileStream;
begin
  Input := TFileStream.Create(DfmFile, fmOpenRead);
  Output := TFileStream.Create(TextFile, fmCreate);
  try
    ObjectResourceToText(Input, Output);
  finally
    Output.Free;
    Input.Free;
  end;
end;

procedure WriteForm(Form, Ancestor: TComponent; const Dir, Name: string);
var
  Output: TFileStream;
begin
  Output := TFileStream.Create(Dir + '/' + Name + '.dfm', fmCreate);
  try
    Output.WriteDescendentRes(UpperCase(Form.ClassName), Form, Ancestor);
  finally
    Output.Free;
  end;
  WriteText(Dir + '/' + Name + '.dfm', Dir + '/' + Name + '.txt');
end;

function NewLabel(Owner: TComponent; const Name: string): TProbeLabel;
begin
  Result := TProbeLabel.Create(Owner);
  Result.Name := Name;
end;

procedure WriteAllKinds(const KvtFile, Dir: string);
var
  Form: TProbeForm;
  Lab, Panel, Frame: TProbeLabel;
  Image: TProbeImage;
  Item: TProbeItem;
  I: Integer;
begin
  Form := TProbeForm.Create(nil);
  try
    Form.Name := 'ProbeForm';
    Form.Caption := 'Kovet''s probe';
    Form.ClientWidth := 640;
    Form.Font.Name := 'Segoe UI';
    Form.Font.Height := -11;
    Form.Font.Style := [psBold, psUnderline];

    Lab := NewLabel(Form, 'Label1');
    Lab.Tiny := -128;
    Lab.ByteValue := 255;
    Lab.Small := -32768;
    Lab.WordValue := 65535;
    Lab.Long := Low(LongInt);
    Lab.Card := High(Cardinal);
    Lab.Big := Low(Int64);
    Lab.Caption := 'It''s Zürich'#9'tab ''quoted''';
    Lab.LongText := '';
    for I := 1 to 40 do
      Lab.LongText := Lab.LongText + 'line ' + IntToStr(I) + ' ';
    Lab.FWide := WideString('Grüße, ') + WideChar($4E16) + WideChar($754C) + ' ' + WideChar($D83D) +
      WideChar($DE00) + ' ''x''';
    Lab.Ratio := 0.1;
    Lab.Exact := -1234567.891;
    Lab.SingleValue := 1.5;
    Lab.Amount := 12.34;
    Lab.When := 45000.25;
    Lab.Align := paRight;
    Lab.Enabled := True;
    Lab.Shown := False;
    Lab.Options := [psItalic, psStrikeOut];
    Lab.Font.Name := 'Courier New';
    Lab.Font.Height := -13;
    Lab.Font.Style := [];
    Lab.Font.Color := $00FF8000;
    Item := Lab.Columns.Add as TProbeItem;
    Item.Caption := 'First';
    Item.Width := 100;
    Item.Visible := True;
    Item := Lab.Columns.Add as TProbeItem;
    Item.Caption := '';
    Item.Width := 100000;
    Lab.Lines.Add('one');
    Lab.Lines.Add('two ''2''');
    Lab.Lines.Add('');
    Lab.OnClick := @Lab.Clicked;

    Panel := NewLabel(Form, 'Panel1');
    Panel.Long := 42;
    Panel.Exact := 3.0;
    Panel.Ratio := 1e300;
    Panel.SingleValue := -0.000125;
    NewLabel(Panel, 'Inner1').Caption := 'inside';
    NewLabel(Panel, 'Inner2').Long := 7;
    Lab.Buddy := Panel;

    Image := TProbeImage.Create(Form);
    Image.Name := 'KVTImage1';
    Image.Left := 8;
    Image.FData.LoadFromFile(KvtFile);

    Image := TProbeImage.Create(Panel);
    Image.Name := 'KVTImage2';
    Image.FData.WriteBuffer('tiny', 4);

    Frame := NewLabel(Form, 'Frame1');
    Frame.MakeInline;
    Frame.Caption := 'a frame';
    NewLabel(Frame, 'FrameLabel').Small := 300;

    { A component without a name. }
    NewLabel(Form, '').Long := 1;

    WriteForm(Form, nil, Dir, 'all-kinds');
  finally
    Form.Free;
  end;
end;

procedure WriteInherited(const Dir: string);
var
  Ancestor, Form: TProbeForm;
begin
  Ancestor := TProbeForm.Create(nil);
  Form := TProbeForm.Create(nil);
  try
    Ancestor.Name := 'BaseForm';
    Ancestor.Caption := 'Base';
    NewLabel(Ancestor, 'Shared1').Long := 1;
    NewLabel(Ancestor, 'Shared2').Long := 2;

    Form.Name := 'DerivedForm';
    Form.Caption := 'Derived';
    NewLabel(Form, 'Added').Caption := 'new';
    NewLabel(Form, 'Shared2').Long := 22;
    NewLabel(Form, 'Shared1').Long := 1;
    WriteForm(Form, Ancestor, Dir, 'inherited');
  finally
    Form.Free;
    Ancestor.Free;
  end;
end;

begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: dfmproof FORM.kvt OUTDIR');
    Halt(2);
  end;
  RegisterClasses([TProbeLabel, TProbeImage, TProbeForm]);
  WriteAllKinds(ParamStr(1), ParamStr(2));
  WriteInherited(ParamStr(2));
end.
